#pragma once

// What every test of the import run needs: a scratch database, the run's
// inputs without a window, and the run itself on a real connection.

#include "base/BusyIndicator.h"
#include "db/TableCatalogue.h"
#include "filelist/FileList.h"
#include "import/ImportDatabase.h"
#include "import/ImportEngine.h"
#include "import/ImportOptions.h"

#include "ScriptedDialogs.h"
#include "TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace quorvane::testing {

class ImportRunFixture : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = QDir(db_.folder()).filePath(name);
        WriteFile(path, bytes);
        return path;
    }

    // Runs the import; the window's pointer must be back to normal after it.
    ImportOutcome runWith(ConnectionParameters parameters, ImportDatabase& database,
                          ImportProgress* progress)
    {
        RunInputs inputs{options_.options(), {}, std::move(parameters)};
        for (int row = 1; row <= files_.count(); ++row)
            inputs.files << files_.path(row);
        const ImportOutcome outcome = RunImport(
            {dialogs_, inputs, tables_, database, busy_, progress, rejectsFolder_, stop_.get_token()});
        EXPECT_FALSE(busy_.isBusy());
        return outcome;
    }

    ScratchDatabase db_;
    ScriptedDialogs dialogs_;
    FixedImportOptions options_{ImportOptions{}};
    PlainFileList files_;
    PlainTableList tables_;
    NoBusyIndicator busy_;
    QString rejectsFolder_;
    std::stop_source stop_;  // the run's stop button
};

}  // namespace quorvane::testing
