# SPDX-License-Identifier: GPL-3.0-or-later
# The framework's own controls and the rules the custom view factory reads names by.
# The rules need no GUI, so they are a library of their own and tested without one.
add_library(halvane_view_rules STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CMeterEnvelope.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PolygonHitTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UnitsText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewNameRules.cpp
)
target_include_directories(halvane_view_rules PUBLIC ${PROJECT_SOURCE_DIR}/source)
target_compile_options(halvane_view_rules PRIVATE ${HALVANE_WARNINGS})

add_library(halvane_controls STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CKickButtonQX.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CTextEditQX.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CTextLabelQX.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CustomViewFactory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CVuMeterQX.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CXYPadQX.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PadController.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextViewLook.cpp
)
target_include_directories(halvane_controls PUBLIC ${PROJECT_SOURCE_DIR}/source)
target_compile_options(halvane_controls PRIVATE ${HALVANE_WARNINGS})
target_link_libraries(halvane_controls PUBLIC halvane_view_rules halvane_editor halvane_vstgui_vst3
                      halvane_vstgui halvane_framework vst3sdk)
