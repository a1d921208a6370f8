#pragma once

// Marks a word loop to be compiled twice, once for processors with AVX2 and
// once for any x86-64, the copy being picked at start-up (not under the
// thread sanitizer, which cannot run that pick so early).
#if defined(__SANITIZE_THREAD__)
#define RM_AVX2_CLONE
#else
#define RM_AVX2_CLONE __attribute__((target_clones("avx2", "default")))
#endif
