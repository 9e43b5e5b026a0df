# Precompiled headers and unity builds: most of the build's time goes into parsing the same Qt
# and standard headers for every file. Each library precompiles the headers
# its files include most; the tests reuse one precompiled set per kind, so
# that they are parsed once for all of them rather than once per program.
option(SCORE_PRECOMPILED_HEADERS "Precompile the Qt and standard headers" ON)

# Unity builds: each library's files are compiled a few at a time as one
# unit, so that the headers are parsed once per batch. Names in a file's
# anonymous namespace must therefore be unique within its library; a clash
# shows as a redefinition error. The debug preset builds file by file, which
# also checks that every file includes what it uses.
option(SCORE_UNITY_BUILD "Compile each library's files in batches" ON)
set(CMAKE_UNITY_BUILD ${SCORE_UNITY_BUILD})

set(SCORE_PCH_CORE
    <algorithm> <cstdint> <cstring> <functional> <map> <memory> <optional> <string> <utility>
    <vector> <QByteArray> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QObject> <QString>
    <QStringList> <QTextStream>)
set(SCORE_PCH_GUI ${SCORE_PCH_CORE} <QColor> <QFont> <QFontMetrics> <QImage> <QPainter> <QPixmap>)
set(SCORE_PCH_WIDGETS ${SCORE_PCH_GUI} <QApplication> <QLabel> <QLineEdit> <QPushButton>
    <QWidget>)
set(SCORE_PCH_TEST_CORE ${SCORE_PCH_CORE} <QTemporaryDir> <QTest>)
set(SCORE_PCH_TEST_WIDGETS ${SCORE_PCH_WIDGETS} <QTemporaryDir> <QTest>)

# score_precompile(target KIND): precompile the KIND set (CORE, GUI, WIDGETS,
# TEST_CORE, TEST_WIDGETS) for target.
function(score_precompile target kind)
    if(SCORE_PRECOMPILED_HEADERS)
        target_precompile_headers(${target} PRIVATE ${SCORE_PCH_${kind}})
    endif()
endfunction()

# score_reuse_precompiled(target from): compile target with the headers that
# were precompiled for from (same flags, same kind).
function(score_reuse_precompiled target from)
    if(SCORE_PRECOMPILED_HEADERS)
        target_precompile_headers(${target} REUSE_FROM ${from})
    endif()
endfunction()

# score_test_without_moc_headers(target): a test program keeps its one
# Q_OBJECT class in its .cpp, so the file automoc adds holds nothing; loading
# the 200 MB of precompiled headers into it cost seconds per program.
function(score_test_without_moc_headers target)
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/mocs_compilation.cpp
                                TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()
