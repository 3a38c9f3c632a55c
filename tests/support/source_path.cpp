#include "tests/support/source_path.h"

// Only this file is compiled with the folder of the source tree: the tests
// and benchmarks compile alike wherever the tree is, so that a clone
// elsewhere takes them from the build cache.
QString SourcePath(QStringView relative)
{
    return QStringLiteral(MENUVERA_SOURCE_DIR "/") + relative.toString();
}
