#pragma once

#include "bandedform.h"

#include <QString>

class QWidget;

// The printed forms on paper and on screen: what needs the printing and window libraries, apart
// from the forms themselves (printedforms.h), which the console program makes as PDF too.
namespace PrintedForms
{
// Prints on the system's default printer; false when there is none or printing fails.
bool print(const BandedForm &form, int copies);
// Why nothing can be printed on this system; empty when a printer is there.
QString noPrinterReason();
// The preview window, through the Prompter.
void preview(const BandedForm &form, QWidget *parent);
} // namespace PrintedForms
