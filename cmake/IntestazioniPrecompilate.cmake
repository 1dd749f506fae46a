# Precompiled headers: the Qt headers (and, for the tests, GoogleTest's)
# that nearly every source includes are parsed once per build instead of
# once per source file, which is about half of a source's compile time.
#
# Three donor targets hold the headers of the three Qt layers; a library
# reuses the donor of its layer (vorpla_precompila(TARGET core|gui|widgets)),
# so each header set is compiled once. A target must be compiled with the
# same macros as its donor where the headers look at them; otherwise the
# compiler sets the precompiled header aside with a -Winvalid-pch warning,
# which the test command's warnings-as-errors build turns into an error.
# A target that changes how Qt's headers read (QT_NO_KEYWORDS) gets a
# precompiled header of its own (vorpla_precompila(TARGET own-gui)).
option(VORPLA_PCH "Compile the common Qt headers once per build (precompiled headers)" ON)

set(vorpla_intestazioni_core
  <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QElapsedTimer> <QFile> <QFileInfo> <QHash> <QList>
  <QProcess> <QRegularExpression> <QSaveFile> <QString> <QStringList>
  <functional> <memory> <optional> <string> <vector>)
set(vorpla_intestazioni_gui ${vorpla_intestazioni_core}
  <QFont> <QFontMetricsF> <QGuiApplication> <QImage> <QPainter> <QPdfWriter>)
set(vorpla_intestazioni_widgets ${vorpla_intestazioni_gui}
  <QApplication> <QDialog> <QHBoxLayout> <QLabel> <QLineEdit> <QMessageBox> <QPushButton> <QVBoxLayout> <QWidget>)

set(vorpla_sorgente_vuota ${CMAKE_CURRENT_LIST_DIR}/vuoto.cpp)
if(VORPLA_PCH)
  add_library(vorpla_pch_core OBJECT ${vorpla_sorgente_vuota})
  target_link_libraries(vorpla_pch_core PRIVATE Qt6::Core)
  target_precompile_headers(vorpla_pch_core PRIVATE ${vorpla_intestazioni_core})
  add_library(vorpla_pch_gui OBJECT ${vorpla_sorgente_vuota})
  target_link_libraries(vorpla_pch_gui PRIVATE Qt6::Core Qt6::Gui)
  target_precompile_headers(vorpla_pch_gui PRIVATE ${vorpla_intestazioni_gui})
  add_library(vorpla_pch_widgets OBJECT ${vorpla_sorgente_vuota})
  target_link_libraries(vorpla_pch_widgets PRIVATE Qt6::Core Qt6::Gui Qt6::Widgets)
  target_precompile_headers(vorpla_pch_widgets PRIVATE ${vorpla_intestazioni_widgets})
endif()

function(vorpla_precompila target livello)
  if(NOT VORPLA_PCH)
    return()
  endif()
  if(livello STREQUAL "own-gui")
    target_precompile_headers(${target} PRIVATE ${vorpla_intestazioni_gui})
  else()
    target_precompile_headers(${target} REUSE_FROM vorpla_pch_${livello})
  endif()
endfunction()
