# SPDX-License-Identifier: GPL-3.0-or-later
# A hostile host driving the real bundle.
if(TARGET HalvaneDuo)
    halvane_add_test(test_robustness SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/robustness_test.cpp
                     LIBS halvane_host)
    target_compile_definitions(test_robustness PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_robustness HalvaneDuo)
endif()
