// What each installed program says about itself in --help and in its manual page.
#include "usage/Usage.h"

const TProgramUsage& VantelUsage() {
  static const TProgramUsage usage{
      "vantel",
      "set up the VANTEL-9 programmable ignition unit over a serial line",
      {"[LANGUAGE] [QT-OPTION]...",
       "[LANGUAGE] --tune-sheet FILE.ign -o OUT.pdf [--paper A4|Letter]", "--help | --version"},
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
       "every Qt program; they do not count as the first argument.",
       "File, Tune sheet (Ctrl+Shift+P) shows a print preview of the tune sheet: one page for "
       "the customer with the unit's identity, the file, the time of printing, the advance "
       "curve as a graph beside the table of its points and every other parameter with its "
       "value and unit, in the window's language. From the preview it goes to a printer or a "
       "PDF file. With --tune-sheet the sheet of a parameter file is written as a PDF without "
       "opening a window."},
      {{"ENGLISH, DEUTSCH, FRANCE, CESKY",
        "as the first argument, written exactly so: start in English, German, French or Czech "
        "instead of the language of the last run; the choice is kept at closing. Any other "
        "first argument, and every further one but the options below, is ignored."}},
      {{"--tune-sheet FILE.ign",
        "write the tune sheet of this parameter file (laid onto the default parameters, as "
        "Open does in a window started afresh) without opening a window, in the language of "
        "the first argument or else of the last run; the unit's identity reads \"not read from "
        "a unit\""},
       {"-o, --output OUT.pdf",
        "with --tune-sheet: the PDF file to write; an old file of that name is replaced only "
        "once the new one is complete"},
       {"--paper A4|Letter", "with --tune-sheet: the paper size, portrait; A4 when not given"},
       {"-h, --help", "print this help and exit without opening a window"},
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
      {{"0", "the window was closed, the tune sheet was written, or the help or the version "
             "was printed"},
       {"1", "the help or the version could not be written"},
       {"4", "--tune-sheet: the parameter file could not be read or is no .ign file of layout "
             "version 67, or the PDF could not be written; an old PDF stays as it was"},
       {"64", "--tune-sheet: wrong usage, an unknown option or a missing value"},
       {"other", "the window could not be opened, for example without a display"}},
      {"vantel-cli(1)", "vantel-sim(1)"}};
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
      {"vantel(1)", "vantel-cli(1)"}};
  return usage;
}

const TProgramUsage& VantelCliUsage() {
  static const TProgramUsage usage{
      "vantel-cli",
      "read, verify and program a VANTEL-9 ignition unit from the command line",
      {"[-p PORT] [--json] read [-o FILE.ign]", "[-p PORT] [--json] verify FILE.ign",
       "[-p PORT] [--json] program FILE.ign [--backup FILE.ign]",
       "[-p PORT] [--json | --csv] monitor [--count N | --seconds S]",
       "[-p PORT] [--json] identity", "--help | --version"},
      {"vantel-cli does what the window of vantel does with a unit, for workshops that program "
       "many units, test benches and scripts. Its passes are the window's: the same frames, a "
       "tick every 55 ms, a block frame sent again after 4 ticks without an accepted reply and "
       "at most five times, so it works with a unit exactly as the window does. Parameter files "
       "are read and written as Open and Save do.",
       "A file given to verify or program is laid onto the default parameters, as Open does in "
       "a window started afresh, and normalised: curve speeds rising within their bounds, the "
       "start limiter not above the limiter. Bytes of the unit's memory that no .ign file "
       "carries are sent as 0.",
       "While a pass runs and standard error is a terminal, the status and the progress of the "
       "window's status line are shown there. Every failure is one line on standard error."},
      {{"read",
        "read the unit (block 0, block 1, then the verify pass) and write its parameters as a "
        ".ign file to FILE.ign, or to standard output without -o; then print the unit's "
        "identity (on standard error when the record went to standard output)"},
       {"verify FILE.ign", "verify the unit's parameters against the file's"},
       {"program FILE.ign",
        "program the file's parameters (block 0, block 1, then the verify pass) and wait until "
        "the unit has stored them"},
       {"monitor",
        "print the unit's live values about three times a second, until interrupted: a table, "
        "or with --csv the rows of the live-value recording (time, rpm, advance, max_advance, "
        "voltage, programming_count, save_countdown, version and one column for every flag)"},
       {"identity", "print the name, date and time of the unit's program and its layout version"}},
      {{"-p, --port PORT",
        "the serial port: a Com number 1..10 (also written COM3), mapped to a device as the "
        "window's Com menu maps it, or a device path such as /dev/ttyUSB0; default 1"},
       {"-o, --output FILE.ign",
        "read: write the parameters to this file; it is replaced only once the new one is "
        "complete. - is standard output"},
       {"--backup FILE.ign",
        "program: read the unit into this file first; when that read fails, nothing is "
        "programmed"},
       {"--csv", "monitor: CSV rows with a header line and CR LF line ends"},
       {"--count N", "monitor: stop after N rows"},
       {"--seconds S", "monitor: stop after S seconds"},
       {"--json",
        "one JSON object with the results: command, status (the window's status text), exit, "
        "ticks (of the pass, from the command to its end; for program also store_ticks, until "
        "the unit has stored), the unit's identity (UnitVersionText, UnitDateText, UnitTimeText, "
        "LayoutVersion) and for read the parameters under their record names (Bike, "
        "PocetBodu, BaseAdv, Omez1, Omez2, Retard, Polarita, GeberNr, LedRazeni, Clutch1, "
        "Clutch2, Input1, Input2, RpmPulsu, RpmKorekce, RevOutLedRazeni, RpmAdv, Advance) in "
        "the unit's units. With read and no -o the parameters go only into the object. "
        "monitor: one object per row, keyed by the CSV columns"},
       {"-h, --help", "print this help and exit"},
       {"--version", "print the version and the license and exit"}},
      {{"VANTEL_COM1 ... VANTEL_COM10",
        "the device of Com number n, as for vantel; when not set, the file or symbolic link "
        "com<n> in the settings directory when it exists, else /dev/ttyUSB<n-1>"},
       {"VANTEL_HOME, XDG_CONFIG_HOME", "where the settings directory is, as for vantel"}},
      {{"~/.config/vantel/com1 ... com10", "optional links to serial devices, as for vantel"}},
      {{"0", "success"},
       {"1", "verify difference: the unit answered with other parameters than the file's (or, "
             "for read, than their normalised form, which is written all the same)"},
       {"2", "no reply from the unit, the port could not be opened or hung up, or the backup "
             "could not be read"},
       {"3", "the unit has another layout version than 67"},
       {"4", "a file could not be read, is no .ign file of layout version 67, or could not be "
             "written; a file that is replaced stays as it was"},
       {"64", "wrong usage: an unknown command or option, or a missing or wrong value"}},
      {"vantel(1)", "vantel-sim(1)"}};
  return usage;
}
