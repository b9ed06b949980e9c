/* Compiler keywords the device headers use; a small stand-in for CMSIS's own. */
#ifndef CMSIS_COMPILER_H
#define CMSIS_COMPILER_H

#ifndef __IO
#define __IO volatile
#endif
#ifndef __STATIC_INLINE
#define __STATIC_INLINE static inline
#endif

#endif
