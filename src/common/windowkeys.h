#pragma once

class QComboBox;
class QWidget;

// What every window does for a clerk who works with the keyboard, and for a screen reader:
// Tab leaves a grid (the arrows, Home/End and the page keys move within it), Enter on a grid row
// does what a double click does, and every input control that a label names carries that
// label's text as its accessible name (the grid the title of its group), and every button,
// check box, radio button and group has an Alt key of its own in the window.
namespace WindowKeys
{

// Sets up one window and the controls it holds now.
void apply(QWidget *window);
// Sets up every window of the program as it is first shown.
void installEverywhere();
// For a combo box whose choice moves the clerk on: the arrow and page keys only move within it,
// and the item they stop on is chosen (activated) when the clerk presses Enter or leaves the box.
// Alt+Down, F4 and the mouse open its list as ever.
void chooseOnLeave(QComboBox *combo);

} // namespace WindowKeys
