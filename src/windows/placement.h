// SPDX-License-Identifier: MIT
#pragma once

// Where the editor opens: horizontally centred on the screen, 8 twips from
// the top. The difference of the widths is halved as an integer, the
// remainder dropped; with a screen narrower than the editor the left edge is
// negative.
namespace Placement {

inline constexpr int EditorTopTwips = 8;

int editorLeftTwips(int screenWidthTwips, int editorWidthTwips);

} // namespace Placement
