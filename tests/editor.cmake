# SPDX-License-Identifier: GPL-3.0-or-later
# The editor: its messages and life driven through plug-in objects of the tests' own, and the
# room's editor through the real bundle.
pkg_check_modules(HALVANE_TEST_CAIRO REQUIRED IMPORTED_TARGET cairo)

halvane_add_test(test_editor_messages
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/editor_messages_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestPlugInFactory.cpp
    LIBS halvane_binding halvane_editor halvane_framework halvane_host halvane_resources)

if(TARGET HalvaneDuo)
    halvane_add_test(test_editor
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/editor_test.cpp
        LIBS halvane_editor halvane_host halvane_resources PkgConfig::HALVANE_TEST_CAIRO)
    target_compile_definitions(test_editor PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}"
                               HALVANE_RENDER_PATH="$<TARGET_FILE:halvane-render>")
    add_dependencies(test_editor HalvaneDuo halvane-render)
endif()
