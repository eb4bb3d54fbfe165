// The main menu, the game's hub, and its options sub-menu.
#pragma once

// Shows the main menu again and again; ends the game through its Exit item.
[[noreturn]] void MainMenu();

// Shows the options menu until "Return to Main Menu" is chosen.
void OptionsMenu();

// Leaves the game or dialog in progress and shows the main menu afresh; the
// code after the call never runs.
[[noreturn]] void ReturnToMainMenu();
