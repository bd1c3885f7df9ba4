# Precompiled library headers. Most of the compile time of a Qt or GoogleTest source file goes to
# parsing the same library headers again (about five of every six seconds for a typical widget at
# -O0); `make test` compiles most files three times, so parsing them once per target is the
# largest saving the build has. Only library headers go in: a change to one of our own headers
# still rebuilds just the files that include it.
#
# A target with few sources borrows the headers of a larger target with the same flags
# (REUSE_FROM) instead of paying for its own. -Winvalid-pch turns a header that the compiler
# refuses (flags that differ after all) into an error instead of a silent slow build.
#
# With ccache, set `sloppiness = pch_defines,time_macros,include_file_mtime,include_file_ctime`, or
# configure with -DTARNWICK_PRECOMPILE_HEADERS=OFF, or ccache compiles without caching.

option(TARNWICK_PRECOMPILE_HEADERS "Precompile the library headers each target parses" ON)

if(TARNWICK_PRECOMPILE_HEADERS)
  add_compile_options(-Winvalid-pch)
endif()

set(TARNWICK_PCH_STD
  <algorithm> <array> <atomic> <chrono> <cstdint> <functional> <map> <memory> <mutex> <optional> <set>
  <string> <string_view> <unordered_map> <unordered_set> <utility> <vector>
  <nlohmann/json.hpp>)
set(TARNWICK_PCH_QT_CORE <QByteArray> <QCoreApplication> <QObject> <QPointer> <QString> <QThreadPool> <QTimer> <QUrl>)
set(TARNWICK_PCH_QT_WIDGETS
  <QAbstractItemView> <QApplication> <QBoxLayout> <QCheckBox> <QComboBox> <QDialog> <QFrame> <QHeaderView>
  <QLabel> <QMenu> <QPainter> <QPushButton> <QScrollArea> <QToolButton> <QWidget>)
set(TARNWICK_PCH_TEST <gtest/gtest.h>)
set(TARNWICK_PCH_QT_TEST <QSignalSpy> <QTest>)

# tarnwick_precompile(TARGET KIND...): KIND is std, qt, network, widgets, test or qttest.
function(tarnwick_precompile target)
  if(NOT TARNWICK_PRECOMPILE_HEADERS)
    return()
  endif()
  set(headers ${TARNWICK_PCH_STD})
  foreach(kind IN LISTS ARGN)
    if(kind STREQUAL "qt")
      list(APPEND headers ${TARNWICK_PCH_QT_CORE})
    elseif(kind STREQUAL "network")
      list(APPEND headers <QNetworkAccessManager> <QNetworkReply>)
    elseif(kind STREQUAL "widgets")
      list(APPEND headers ${TARNWICK_PCH_QT_WIDGETS})
    elseif(kind STREQUAL "test")
      list(APPEND headers ${TARNWICK_PCH_TEST})
    elseif(kind STREQUAL "qttest")
      list(APPEND headers ${TARNWICK_PCH_QT_TEST})
    elseif(NOT kind STREQUAL "std")
      message(FATAL_ERROR "tarnwick_precompile: unknown kind ${kind}")
    endif()
  endforeach()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# tarnwick_precompile_like(TARGET OTHER): TARGET uses OTHER's precompiled headers.
function(tarnwick_precompile_like target other)
  if(TARNWICK_PRECOMPILE_HEADERS)
    target_precompile_headers(${target} REUSE_FROM ${other})
  endif()
endfunction()
