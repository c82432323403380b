# SPDX-License-Identifier: GPL-3.0-or-later
# The real bundle loaded through our host, as a DAW would.
if(TARGET HalvaneDuo)
    halvane_add_test(test_module SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/module_test.cpp
                     LIBS halvane_host)
    target_compile_definitions(test_module PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_module HalvaneDuo)
endif()
