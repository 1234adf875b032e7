// Types shared by every subsystem of VANTEL-9 Setup.
#pragma once

#include <cstdint>

// User-interface language: 0 English, 1 German, 2 French, 3 Czech.
using TLanguage = std::uint8_t;
enum : TLanguage { LangEnglish = 0, LangGerman = 1, LangFrench = 2, LangCzech = 3 };

// The one value outside the main window: selects the language of every text.
extern TLanguage CurrentLanguage;

// Parameter-layout version this program speaks; compared with the unit and the files.
inline constexpr std::uint8_t ProgramVersion = 67;

// Device operation in progress.
enum TTransferMode : std::uint8_t { tmIdle = 0, tmProgram = 1, tmVerify = 2, tmRead = 3 };

// Colours by which states are shown. ButtonFace is the window's normal background.
enum class TColour : std::uint8_t { ButtonFace, Red, Yellow, Fuchsia, Aqua, Lime, White };
