// The help screens: a list of the key commands written over the picture,
// a panel at the right in the outside view and a band at the top in the
// inside view. The animation waits until the next key, which clears it.
#pragma once

void ShowHelp();
