// The two pages of instructions.
#pragma once

// Shows the first page section by section, then the second; a key after each.
void ShowInstructions();
