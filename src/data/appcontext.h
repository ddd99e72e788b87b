#pragma once

#include "datamodule.h"
#include "installation.h"
#include "runstate.h"

// What every window is given: the installation, the data module and the run state.
struct AppContext {
    Installation installation;
    DataModule data;
    RunState run;
};
