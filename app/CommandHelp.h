#pragma once
// Help pages of the model documents' own commands, which help mode (Shift+F1 and a click on a
// menu item) reaches at the command's id plus the command help base.
void RegisterModelCommandTopics();
