# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a staging directory and checks that VST 2 hosts get a link to the
# installed module. Run with -DBUILD_DIR -DSTAGE -DVST2_DIR -DARCH.
set(prefix "/opt/halvane-vst3")
file(REMOVE_RECURSE "${STAGE}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${STAGE}"
            ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(module "${prefix}/HalvaneDuo.vst3/Contents/${ARCH}/HalvaneDuo.so")
set(link "${STAGE}${VST2_DIR}/HalvaneDuo.so")
if(NOT EXISTS "${STAGE}${module}")
    message(FATAL_ERROR "the bundle was not installed: ${STAGE}${module}")
endif()
if(NOT IS_SYMLINK "${link}")
    message(FATAL_ERROR "no link for VST 2 hosts at ${link}")
endif()
# The link names the installed place, not the staging directory.
file(READ_SYMLINK "${link}" target)
if(NOT target STREQUAL module)
    message(FATAL_ERROR "${link} points to ${target}, not ${module}")
endif()
file(REMOVE_RECURSE "${STAGE}")
