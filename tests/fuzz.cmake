# SPDX-License-Identifier: GPL-3.0-or-later
# Deterministic fuzz loops over the real bundle.
if(TARGET HalvaneDuo)
    halvane_add_test(test_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_test.cpp
                     LIBS halvane_host)
    target_compile_definitions(test_fuzz PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_fuzz HalvaneDuo)
endif()
