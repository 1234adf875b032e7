// Captions, item lists and hints of the main window's controls in four languages,
// keyed by the controls' object names. No toolkit here: the window applies the list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "i18n/Messages.h"
#include "model/Types.h"

enum class TTextProp : std::uint8_t { Caption, Hint, Items };

// One control property resolved for one language. "TFormHlav" is the main window itself.
// Captions may hold "&" accelerators, hints a "|" between tooltip and status-bar text.
struct TResolvedText {
  std::string Control;
  TTextProp Prop;
  std::string Text;               // Caption, Hint
  std::vector<std::string> Items; // Items, in the order the record stores
};

// The complete list for a language (a value above 3 gives English). The catalogue must
// already be filled for the same language: several captions are built from it.
std::vector<TResolvedText> BuildControlTexts(TLanguage language, const TMessageCatalogue& msg);

// The given hint of the Com menu's item n, "Set com 3".
std::string ComItemHint(TLanguage language, int n);

// Controls whose hint is also shown as a tooltip; all other hints reach the status bar only.
bool TooltipEnabled(const std::string& controlName);

// The tooltip part before "|" and the status-bar part after it; a hint without "|" is both.
void SplitHint(const std::string& hint, std::string& shortPart, std::string& longPart);

// The caption as shown where no accelerator is drawn: a single "&" disappears, "&&" is "&".
std::string StripAccelerator(const std::string& caption);

// The caption as rich text with its accelerator letter underlined, for a label that draws
// it without a buddy; "" when the caption marks no letter.
std::string AcceleratorMarkup(const std::string& caption);

// Caption of the about window; nullptr for a value that names no language.
const char* AboutCaption(TLanguage language);
