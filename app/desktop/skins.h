// The look of the windows: 25 numbered skins, Qt style sheets built from one
// template in 25 colour schemes.
#pragma once

#include <QString>

#include "services/text_types.h"

namespace oc {

inline constexpr int kSkinCount = 25;
inline constexpr int kStartupSkin = 7;

// The style sheet of skin 1..25; empty for another number.
QString skinStyleSheet(int number);

// Where the chosen skin is written: the temporary-files folder followed by
// "{df6546sd4fwer}.she".
Text skinFilePath();

// Skin 0 counts as 25. Writes skin 1..25 to skinFilePath() (only into a regular
// file of this user: never through a link) and applies it to the whole
// program; any other number writes and applies nothing. False then.
bool applySkin(int number);

}  // namespace oc
