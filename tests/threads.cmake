# SPDX-License-Identifier: GPL-3.0-or-later
# Concurrent host threads; the "tsan" label selects these for the ThreadSanitizer build.
if(TARGET HalvaneDuo)
    halvane_add_test(test_threads SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/threads_test.cpp
                     LIBS halvane_host halvane_room LABELS tsan)
    target_compile_definitions(test_threads PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_threads HalvaneDuo)
endif()
