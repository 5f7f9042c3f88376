# Precompiled headers: the Qt and standard headers most files include, compiled once per
# target instead of parsed again for every file (they are most of what a file costs). A target
# that reaches Qt Widgets gets the window headers too, a test the test framework's. Configure
# with -DNORVANE_PCH=OFF to see that every file still includes what it uses.
option(NORVANE_PCH "Precompile the common headers of each target" ON)
set(NORVANE_PCH_MIN_FILES 4)

set(NORVANE_PCH_CORE
    <QByteArray> <QCoreApplication> <QDate> <QDateTime> <QDir> <QFileInfo> <QHash> <QList>
    <QObject> <QPointer> <QSet> <QString> <QStringList> <QTimer>
    <algorithm> <array> <atomic> <chrono> <functional> <memory> <mutex> <optional> <utility>
    <vector>)
set(NORVANE_PCH_WIDGETS
    <QApplication> <QColor> <QComboBox> <QDialog> <QLabel> <QMessageBox> <QPainter>
    <QPushButton> <QVBoxLayout>)

# The compiler cache keeps working with them when it may ignore the header's time stamps.
if(CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache$" AND NORVANE_PCH)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env
        CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
        ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# Whether target links Qt Widgets, itself or through the libraries it links.
function(norvane_reaches_widgets target out)
    get_target_property(type ${target} TYPE)
    set(links)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(own ${target} LINK_LIBRARIES)
        if(own)
            list(APPEND links ${own})
        endif()
    endif()
    get_target_property(public ${target} INTERFACE_LINK_LIBRARIES)
    if(public)
        list(APPEND links ${public})
    endif()
    foreach(link IN LISTS links)
        if(link STREQUAL "Qt6::Widgets")
            set(${out} ON PARENT_SCOPE)
            return()
        endif()
        if(TARGET ${link} AND link MATCHES "^norvane_")
            norvane_reaches_widgets(${link} reaches)
            if(reaches)
                set(${out} ON PARENT_SCOPE)
                return()
            endif()
        endif()
    endforeach()
    set(${out} OFF PARENT_SCOPE)
endfunction()

# Gives every library and program of directory and the directories below it its headers.
function(norvane_precompile directory)
    if(NOT NORVANE_PCH)
        return()
    endif()
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE)$")
            continue()
        endif()
        # Compiling the headers costs as much as parsing them for three or four files.
        get_target_property(sources ${target} SOURCES)
        list(FILTER sources INCLUDE REGEX "\\.cpp$")
        list(LENGTH sources count)
        if(count LESS NORVANE_PCH_MIN_FILES)
            continue()
        endif()
        set(headers ${NORVANE_PCH_CORE})
        norvane_reaches_widgets(${target} widgets)
        if(widgets)
            list(APPEND headers ${NORVANE_PCH_WIDGETS})
        endif()
        get_target_property(links ${target} LINK_LIBRARIES)
        if(links MATCHES "GTest::")
            list(APPEND headers <gtest/gtest.h>)
        endif()
        target_precompile_headers(${target} PRIVATE ${headers})
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        norvane_precompile(${subdirectory})
    endforeach()
endfunction()
