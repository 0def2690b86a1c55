#pragma once
// The pages of the clock's settings dialog, in tree order; the order is also
// each tree item's image index in "TREE_ITEM_IMAGE".
class CSettingsDialog;

void AddSettingsPages(CSettingsDialog& dialog);
