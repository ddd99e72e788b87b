#include "prompter.h"

#include <QtGlobal>

namespace
{
Prompter *installed = nullptr;
}

Prompter &Prompter::instance()
{
    Q_ASSERT_X(installed, "Prompter", "no prompter installed");
    return *installed;
}

void Prompter::install(Prompter *prompter)
{
    installed = prompter;
}
