// The filter strings of the windows as Qt's file dialog shows them, and the dialog's setup.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>

#include "qtapp.h"
#include "quenvar/qt/qtplatform.h"
#include "testsupport.h"

using namespace qv::qt;
using qv::forms::DialogKind;

TEST(NameFilters, PairsBecomeEntries)
{
    EXPECT_EQ(nameFilters("Complexation database files (*.MDB)|*.MDB|Counterion selectivity files (*.CDB)|*.CDB|"
                          "Isotherm database files (*.ISO)|*.ISO|NICA-Donnan database files (*.NIC)|*.NIC|"
                          "BLM parameter files (*.BLI)|*.BLI"),
              (QStringList{"Complexation database files (*.MDB)", "Counterion selectivity files (*.CDB)",
                           "Isotherm database files (*.ISO)", "NICA-Donnan database files (*.NIC)",
                           "BLM parameter files (*.BLI)"}));
    EXPECT_EQ(nameFilters("HBM site files (*.MSI.TXT)|*.MSI.TXT"), QStringList{"HBM site files (*.MSI.TXT)"});
}

TEST(NameFilters, OddShapes)
{
    // A final bar opens no pair.
    EXPECT_EQ(nameFilters("Text files (*.TXT)|*.TXT|"), QStringList{"Text files (*.TXT)"});
    // A description without its pattern gets it; several patterns are separated by blanks.
    EXPECT_EQ(nameFilters("Databases|*.MDB"), QStringList{"Databases (*.MDB)"});
    EXPECT_EQ(nameFilters("Databases|*.MDB;*.CDB"), QStringList{"Databases (*.MDB *.CDB)"});
    EXPECT_EQ(nameFilters("Databases (*.MDB;*.CDB)|*.MDB;*.CDB"), QStringList{"Databases (*.MDB;*.CDB) (*.MDB *.CDB)"});
    // Parentheses that name the pattern in another case are kept as they are.
    EXPECT_EQ(nameFilters("Data (*.dat)|*.DAT"), QStringList{"Data (*.dat)"});
    // A description with no pattern at all offers every file.
    EXPECT_EQ(nameFilters("Everything"), QStringList{"Everything (*)"});
    EXPECT_EQ(nameFilters(""), QStringList{});
    // Descriptions are Windows-1252.
    EXPECT_EQ(nameFilters("Donn\xE9"
                          "es|*.X"),
              QStringList{QString::fromUtf8("Données (*.X)")});
}

TEST(FileDialog, SetUpForOpenAndSave)
{
    qvtest::qtApp();
    qvtest::TempDir dir;
    dir.write("db/a.MDB", "");
    {
        QFileDialog dialog;
        configureFileDialog(dialog, DialogKind::Open, "Text files (*.TXT)|*.TXT|Databases (*.MDB)|*.MDB", "db",
                            dir.path());
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(dialog.nameFilters(), (QStringList{"Text files (*.TXT)", "Databases (*.MDB)"}));
        EXPECT_EQ(dialog.selectedNameFilter(), "Text files (*.TXT)");
        // A relative initial directory is taken from the program's current directory.
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(QString::fromStdString(dir / "db")).absolutePath());
    }
    {
        QFileDialog dialog;
        // An initial directory that is not there (a Windows path here) falls back to the
        // current directory.
        configureFileDialog(dialog, DialogKind::Save, "Databases (*.MDB)|*.MDB", "c:\\Program Files\\quenvar",
                            dir / "db");
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(QString::fromStdString(dir / "db")).absolutePath());
    }
}

TEST(FileDialog, PatternsMatchWithoutRegardToCase)
{
    qvtest::qtApp();
    qvtest::TempDir dir;
    for (const char* name : {"upper.MDB", "lower.mdb", "Mixed.Mdb", "other.txt", "site.msi.txt"}) dir.write(name, "");
    QFileDialog dialog;
    configureFileDialog(dialog, DialogKind::Open, "Databases (*.MDB)|*.MDB|Sites (*.MSI.TXT)|*.MSI.TXT", "",
                        dir.path());
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    dialog.show();

    auto listed = [&] {
        QStringList names;
        const QModelIndex root = model->index(QString::fromStdString(dir.path()));
        for (int i = 0; i < model->rowCount(root); ++i) {
            const QModelIndex item = model->index(i, 0, root);
            if (model->flags(item) & Qt::ItemIsEnabled) names << item.data().toString();
        }
        names.sort();
        return names;
    };
    // The dialog lists the directory in the background: wait until it shows what it should
    // (the limit only keeps a broken dialog from hanging the run; it then fails below).
    const QStringList databases{"Mixed.Mdb", "lower.mdb", "upper.MDB"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == databases; }, 60000));
    EXPECT_EQ(listed(), databases);
    dialog.selectNameFilter("Sites (*.MSI.TXT)");
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == QStringList{"site.msi.txt"}; }, 60000));
    EXPECT_EQ(listed(), QStringList{"site.msi.txt"});
    dialog.hide();
}

TEST(FileDialog, SaveCompletesTheNameWithTheChosenFilterAndRefusesReadOnlyFiles)
{
    qvtest::qtApp();
    qvtest::TempDir dir;
    FileDialog dialog;
    configureFileDialog(dialog, DialogKind::Save,
                        "Complexation database files (*.MDB)|*.MDB|HBM site files (*.MSI.TXT)|*.MSI.TXT|All (*.*)|*.*",
                        "", dir.path());
    QStringList refusals;
    dialog.refuse = [&refusals](const QString& text) { refusals << text; };
    const QString here = QDir(QString::fromStdString(dir.path())).absolutePath() + QLatin1Char('/');
    EXPECT_EQ(dialog.defaultSuffix(), "mdb");

    // A read-only file, typed without its extension, is refused and the dialog stays open.
    dialog.selectFile("THERMO");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].startsWith("\"THERMO.mdb\" is a file")) << qPrintable(refusals[0]);

    dialog.selectFile("new");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{here + "new.mdb"});
    EXPECT_EQ(refusals.size(), 1);

    // The user picks the next filters: their extensions follow, and "*.*" adds none.
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    const struct {
        const char* suffix;
        const char* saved;
    } steps[] = {{"MSI.TXT", "new.MSI.TXT"}, {"", "new"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.saved);
        QTest::keyClick(types, Qt::Key_Down);
        EXPECT_EQ(dialog.defaultSuffix(), step.suffix);
        dialog.selectFile("new");
        EXPECT_EQ(dialog.selectedFiles(), QStringList{here + step.saved});
    }
}
