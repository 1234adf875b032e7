// What each installed program says about itself in --help and in its manual page.
#include "usage/Usage.h"

const TProgramUsage& VantelUsage() {
  static const TProgramUsage usage{
      "vantel",
      "set up the VANTEL-9 programmable ignition unit over a serial line",
      {"[LANGUAGE] [QT-OPTION]...", "--help | --version"},
      {"VANTEL-9 Setup edits the parameters of the VANTEL-9 capacitor-discharge ignition unit: "
       "the advance curve of up to 15 points, base advance, start limiter and limiter, retard, "
       "pick-up polarity, keying type, ignitions per revolution, the modes of the two switch "
       "inputs, clutch master time and pause, tachometer output and gear-shift light. It reads, "
       "verifies and programs them over a serial line (57600 baud, 8 data bits, no parity, "
       "1 stop bit), shows the unit's live values about three times a second, keeps parameter "
       "sets in .ign files, prints a record of a setting and remembers its state between runs.",
       "The window speaks English, German, French and Czech. F1 (Help, Contents) opens the user "
       "manual of the current language; the package installs the four manuals in "
       "/usr/share/doc/vantel.",
       "Qt's own options (for example -platform offscreen or -style NAME) are taken as by "
       "every Qt program; they do not count as the first argument."},
      {{"ENGLISH, DEUTSCH, FRANCE, CESKY",
        "as the first argument, written exactly so: start in English, German, French or Czech "
        "instead of the language of the last run; the choice is kept at closing. Any other "
        "first argument, and every further one, is ignored."}},
      {{"-h, --help", "print this help and exit without opening a window"},
       {"--version", "print the version and the license and exit without opening a window"}},
      {{"VANTEL_HOME",
        "the settings directory; when set and not empty it replaces $XDG_CONFIG_HOME/vantel"},
       {"XDG_CONFIG_HOME",
        "the settings directory is $XDG_CONFIG_HOME/vantel; when not set, ~/.config/vantel"},
       {"VANTEL_COM1 ... VANTEL_COM10",
        "the device that Com menu item n opens, for example VANTEL_COM1=/dev/ttyUSB0 or the "
        "pseudo-terminal that vantel-sim prints. When not set: the file or symbolic link com<n> "
        "in the settings directory when it exists, else /dev/ttyUSB<n-1>."},
       {"XDG_DATA_HOME",
        "restore points are kept in $XDG_DATA_HOME/vantel/restore-points; when not set, in "
        "~/.local/share/vantel/restore-points"},
       {"VANTEL_ASSETS", "a directory searched first for the logo pictures"},
       {"DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM",
        "where the window opens, as for every Qt program"}},
      {{"~/.config/vantel/vantel.ini",
        "settings: window position and size, Com port, language, last parameter file and the "
        "All box; written when the window closes"},
       {"~/.config/vantel/_vantel.ini",
        "the parameters and the unit's identity block between runs (100 numbers)"},
       {"~/.config/vantel/com1 ... com10",
        "optional links to serial devices, for example made with ln -s /dev/ttyUSB0 "
        "~/.config/vantel/com1"},
       {"~/.local/share/vantel/restore-points/UNIT/",
        "restore points: the parameters after every successful Read (DATE_TIME-read.ign) and "
        "programming (DATE_TIME-programmed.ign), one folder per unit; never deleted by the "
        "program"},
       {"/usr/share/doc/vantel/manual_vantel_en.pdf",
        "the user manual; _de, _fr and _cz are the German, French and Czech ones. The current "
        "directory is searched first."}},
      {{"0", "the window was closed, or the help or the version was printed"},
       {"1", "the help or the version could not be written"},
       {"other", "the window could not be opened, for example without a display"}},
      {"vantel-sim(1)"}};
  return usage;
}

const TProgramUsage& VantelSimUsage() {
  static const TProgramUsage usage{
      "vantel-sim",
      "simulated VANTEL-9 ignition unit on a pseudo-terminal",
      {"[OPTION]...", "--help | --version"},
      {"vantel-sim plays the VANTEL-9 ignition unit at the far end of a pseudo-terminal, for "
       "practice, demonstrations and tests. It prints the device of the pseudo-terminal (for "
       "example /dev/pts/5) as the first line of its output and then answers the program's "
       "requests as a unit does: read, verify and program the two memory blocks, and the live "
       "values about three times a second. Its engine runs through the speed range up to the "
       "limiter with the advance of the stored curve, and its supply voltage and inputs change "
       "over time. After programming it reports its storing for three seconds.",
       "Let vantel use it as Com 1 with VANTEL_COM1=DEVICE vantel, or with the option --link "
       "~/.config/vantel/com1, which makes the link that Com 1 opens. It runs until it is "
       "interrupted (Ctrl+C), until --unplug-after has passed or, with --exit-on-stdin-eof, "
       "until its standard input ends. The fault options let you see how the program reports "
       "a unit that does not answer or answers wrongly."},
      {},
      {{"--link PATH", "make PATH a symbolic link to the pseudo-terminal, removed at exit"},
       {"--long-name TEXT", "long program name in the identity block (up to 30 characters)"},
       {"--stopped", "engine not running: no pick-up signal, speed 0"},
       {"--silent", "never answer"},
       {"--drop PERCENT", "leave out this share of the replies"},
       {"--corrupt PERCENT", "send this share of the replies with a wrong check byte"},
       {"--stray N", "send N stray bytes before each reply"},
       {"--layout-version N",
        "layout version in the identity block and the live values, 0..255 (67); "
        "--version N is the same"},
       {"--bad-echo", "echo the parameter block with one byte changed"},
       {"--bad-verify", "answer a verify of the parameter block with one byte changed"},
       {"--strict-framing",
        "take every 52 bytes as one request, without resyncing or dropping a partial frame "
        "after a pause"},
       {"--unplug-after SECONDS", "hang up the line after this time and exit"},
       {"--seed N", "seed of the fault choices"},
       {"--exit-on-stdin-eof", "exit when standard input reaches its end"},
       {"-h, --help", "print this help and exit"},
       {"--version", "print the version and the license and exit"}},
      {},
      {},
      {{"0", "stopped by a signal, --unplug-after or the end of standard input; or the help "
             "or the version was printed"},
       {"1", "no pseudo-terminal could be opened, or the help could not be written"},
       {"2", "an unknown option or a wrong value"}},
      {"vantel(1)"}};
  return usage;
}
