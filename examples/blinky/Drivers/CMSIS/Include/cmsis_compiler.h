#ifndef CMSIS_COMPILER_H
#define CMSIS_COMPILER_H

#define __STATIC_INLINE static inline

#endif
