# SPDX-License-Identifier: GPL-3.0-or-later
# The host library's own classes.
halvane_add_test(test_host SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/host_test.cpp LIBS halvane_host)

# The host driving the real bundle, once the module target exists.
if(TARGET HalvaneDuo)
    halvane_add_test(test_host_plugin SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/host_plugin_test.cpp
                     LIBS halvane_host)
    target_compile_definitions(test_host_plugin PRIVATE
                               HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_host_plugin HalvaneDuo)
endif()
