#pragma once

namespace Modal {
struct NumberRequest;
}
class ScriptTextBox;

// Go to line: asks for the number of a line of the script, between 1 and its
// last line, and puts the box's caret at its start.
namespace GoToLine {

// Gives the box its Ctrl+G key, which acts only while it has the focus.
void attachTo(ScriptTextBox* box);
// The question asked, with the caret's line offered first.
Modal::NumberRequest request(int current, int last);
// Asks for a line (through the modal seam) and, unless the user cancelled,
// puts the box's caret at the start of that line and shows it.
void ask(ScriptTextBox* box);
// Scrolls the box so that its line (counted from 0) is in view: when it is
// out of view it comes to the middle, with the lines around it.
void bringIntoView(ScriptTextBox* box, int line);

}  // namespace GoToLine
