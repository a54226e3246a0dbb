// The findings window on its Qt Designer form: what the model shows, a pick, the close.

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "qtapp.h"
#include "quenvar/checkwindow.h"
#include "quenvar/qt/checkform.h"
#include "quenvar/qt/qtplatform.h"

TEST(CheckForm, ShowsTheFindingsAndHandsOnAPick)
{
    qvtest::qtApp();
    qv::qt::QtPlatform platform({{"frmCheck", qv::qt::buildCheckForm}});
    qv::forms::Application app(platform);
    platform.attach(app);
    {
        qv::forms::CheckWindow check(app);
        std::string picked;
        check.onPick = [&](const qv::check::Finding& f) { picked = f.name; };
        qv::check::Report report;
        report.error("demo.mdb", 4, "1 \"A\"", "unknown-component", "species 1 \"A\": unknown", "A");
        report.warning("demo.mdb", 9, "2 \"B\"", "duplicate-name", "species 2 \"B\": twice", "B");
        platform.binder().dispatch([&] { check.show(report, "demo.mdb"); });

        QWidget* w = platform.widgetOf(check);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        auto* list = w->findChild<QListWidget*>("lstFindings");
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(1)->text(), "line 9: warning: species 2 \"B\": twice");
        EXPECT_EQ(w->findChild<QLabel*>("lblSummary")->text(), "1 error, 1 warning in demo.mdb");

        const QRect second = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
        EXPECT_EQ(picked, "B");

        QTest::mouseClick(w->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
        EXPECT_FALSE(check.isOpen());
        EXPECT_FALSE(w->isVisible());
        platform.release();
    }
}
