# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the packaged VST 3 SDK subset into one static library, untouched.
if(NOT EXISTS "${VST3_SDK_ROOT}/pluginterfaces/base/funknown.h")
    message(FATAL_ERROR "VST 3 SDK not found at ${VST3_SDK_ROOT} (run scripts/install-deps.sh)")
endif()

set(_sdk "${VST3_SDK_ROOT}")
add_library(vst3sdk STATIC
    ${_sdk}/pluginterfaces/base/conststringtable.cpp
    ${_sdk}/pluginterfaces/base/coreiids.cpp
    ${_sdk}/pluginterfaces/base/funknown.cpp
    ${_sdk}/pluginterfaces/base/ustring.cpp
    ${_sdk}/base/source/baseiids.cpp
    ${_sdk}/base/source/fbuffer.cpp
    ${_sdk}/base/source/fdebug.cpp
    ${_sdk}/base/source/fobject.cpp
    ${_sdk}/base/source/fstreamer.cpp
    ${_sdk}/base/source/fstring.cpp
    ${_sdk}/base/source/updatehandler.cpp
    ${_sdk}/base/thread/source/flock.cpp
    ${_sdk}/public.sdk/source/common/memorystream.cpp
    ${_sdk}/public.sdk/source/common/pluginview.cpp
    ${_sdk}/public.sdk/source/vst/vstbus.cpp
    ${_sdk}/public.sdk/source/vst/vstcomponent.cpp
    ${_sdk}/public.sdk/source/vst/vstcomponentbase.cpp
    ${_sdk}/public.sdk/source/vst/vsteditcontroller.cpp
    ${_sdk}/public.sdk/source/vst/vstinitiids.cpp
    ${_sdk}/public.sdk/source/vst/vstparameters.cpp
    ${_sdk}/public.sdk/source/vst/vstpresetfile.cpp
    ${_sdk}/public.sdk/source/vst/hosting/hostclasses.cpp
    ${_sdk}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp
    # Ids the subset declares but never defines.
    ${PROJECT_SOURCE_DIR}/source/sdk/GuiInterfaceIds.cpp
)
target_include_directories(vst3sdk SYSTEM PUBLIC "${_sdk}")
target_compile_definitions(vst3sdk PUBLIC
    $<IF:$<CONFIG:Debug>,DEVELOPMENT=1,RELEASE=1>)
target_compile_options(vst3sdk PRIVATE -w)
find_package(Threads REQUIRED)
target_link_libraries(vst3sdk PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
