# SPDX-License-Identifier: GPL-3.0-or-later
# The binding's parameter classes, built from their own sources so the tests do not depend on
# the rest of the binding.
set(_binding ${PROJECT_SOURCE_DIR}/source/binding)
halvane_add_test(test_parameters
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/parameters_test.cpp
            ${_binding}/FastMath.cpp
            ${_binding}/ParameterText.cpp
            ${_binding}/PeakParameter.cpp
            ${_binding}/TaperedParameter.cpp
            ${_binding}/LogParameter.cpp
            ${_binding}/VoltOctaveParameter.cpp
    LIBS vst3sdk)
