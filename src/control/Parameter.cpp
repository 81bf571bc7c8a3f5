#include "Parameter.h"

TParameters Param;
TControlFlags Flags;
