#include "import/ui/ImportWindowNames.h"

#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindowControls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace quorvane {

void NameForScreenReaders(const ImportWindowControls& c)
{
    // The label beside a control is its buddy; without one, a field inside
    // a frame would be announced by the frame's caption.
    c.tableNameLabel->setBuddy(c.tableNameEdit);
    c.tableListLabel->setBuddy(c.tableList);
    // Lists and combo boxes take no name from their buddy.
    c.tableList->setAccessibleName(c.tableListLabel->text());
    c.encodingChoice->setAccessibleName(c.encodingLabel->text());
    // Controls with no label beside them: the file list by its one column,
    // the separator field by the frame that holds it alone.
    c.fileList->setAccessibleName(c.fileList->headerItem()->text(0));
    c.separatorEdit->setAccessibleName(c.separatorFrame->title());
}

}  // namespace quorvane
