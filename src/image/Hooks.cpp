#include "image/Hooks.h"

ImageHooksRecord ImageHooks;
