#include "app/SuperCleanCoordinator.h"
