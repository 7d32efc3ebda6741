#pragma once

// Sanitizer builds instrument the plug-in library, which then cannot be loaded into host programs
// built without the sanitizer (lv2apply, jalv): tests that need such a host skip there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define LORIMANE_EXTERNAL_HOSTS_USABLE 0
#else
#define LORIMANE_EXTERNAL_HOSTS_USABLE 1
#endif

#define LORIMANE_SKIP_WITHOUT_EXTERNAL_HOSTS()                                                            \
    do {                                                                                                \
        if (!LORIMANE_EXTERNAL_HOSTS_USABLE) GTEST_SKIP() << "external hosts cannot load a sanitizer build"; \
    } while (0)
