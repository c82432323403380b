# SPDX-License-Identifier: GPL-3.0-or-later
# The sample-accurate parameter update queue, built from its own source so the test does not
# depend on the rest of the binding.
halvane_add_test(test_queue
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/queue_test.cpp
            ${PROJECT_SOURCE_DIR}/source/binding/ParamUpdateQueue.cpp
    LIBS vst3sdk)
