# SPDX-License-Identifier: GPL-3.0-or-later
# The saved component state, through the real bundle.
if(TARGET HalvaneDuo)
    halvane_add_test(test_state SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/state_test.cpp
                     LIBS halvane_host)
    target_compile_definitions(test_state PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_state HalvaneDuo)
endif()
