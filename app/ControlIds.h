// app/ControlIds.h - the control ids, which the page layer names for both windows
#pragma once

#include "app/pages/ControlIds.h"
