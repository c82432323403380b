# SPDX-License-Identifier: GPL-3.0-or-later
# The VST 2 wrapper: its parts on their own, and the real module loaded by our VST 2 host.
halvane_add_test(test_vst2_parts SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/vst2_parts_test.cpp
                 LIBS halvane_vst2)

if(TARGET HalvaneDuo)
    halvane_add_test(test_vst2 SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/vst2_test.cpp
                     LIBS halvane_host)
    target_compile_definitions(test_vst2 PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_vst2 HalvaneDuo)
endif()

# cmake --install also links the module where VST 2 hosts look.
if(TARGET HalvaneDuo AND HALVANE_VST2_INSTALL_DIR)
    add_test(NAME Vst2Install.LinksTheInstalledModuleForVst2Hosts
             COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                     -DSTAGE=${CMAKE_CURRENT_BINARY_DIR}/vst2-install-stage
                     -DVST2_DIR=${HALVANE_VST2_INSTALL_DIR} -DARCH=${CMAKE_SYSTEM_PROCESSOR}-linux
                     -P ${CMAKE_CURRENT_SOURCE_DIR}/support/CheckVst2Install.cmake)
endif()

# The wrapper around plug-in objects of the test's own.
halvane_add_test(test_vst2_edits
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/vst2_edits_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestPlugInFactory.cpp
    LIBS halvane_binding halvane_framework halvane_vst2)
