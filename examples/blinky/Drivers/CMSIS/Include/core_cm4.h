#ifndef CORE_CM4_H
#define CORE_CM4_H

#include "cmsis_compiler.h"

#endif
