// The small always-on-top window (template 152) that shows how far an
// unattended installation has come; one for the whole program.
#pragma once

void EnsureUnattendedProgress(); // the object, without a window
void ShowUnattendedProgress();   // creates, raises and paints the window
void SetUnattendedProgress(int percent);
void DestroyUnattendedProgress();
