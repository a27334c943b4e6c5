#pragma once
// The main window on a program folder of the test's own: an option.ini, a fixed "today" and
// recorders for message boxes, opened addresses and speech. The portal address names a port
// where nothing answers until a test that runs its own server calls setPortal.

#include "ui/environment.h"
#include "ui/form1.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/shell.h"
#include "platform/textfile.h"
#include "speech/speechengine.h"
#include "testsupport/crlf.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace mz::test {

struct FormFixture
{
    // Three days kept, no keywords, no categories.
    static QString defaultOption()
    {
        return QStringLiteral("[旧新闻存放天数]\r\n3天\r\n[你的关键词]\r\n[分类]\r\n");
    }

    explicit FormFixture(const QString &option = defaultOption(), QDate today = QDate(2007, 3, 2))
        : clock(today)
    {
        if (!dir.isValid() || !writeTextFile(dir.filePath(QStringLiteral("option.ini")), option))
            qFatal("cannot prepare the program folder");
        env.folder = dir.path();
        setPortal(QStringLiteral("http://127.0.0.1:9"));
        env.clock = &clock;
        env.messages = &messages;
        env.opener = &opener;
        env.speech = &speech;
    }
    // env points into this object.
    FormFixture(const FormFixture &) = delete;
    FormFixture &operator=(const FormFixture &) = delete;

    void setPortal(const QString &base)
    {
        env.portalBase = base;
        env.siteUrl = base + QStringLiteral("/mozhou/");
    }

    // The window as constructed, before Form_Load.
    std::unique_ptr<Form1> create() const { return std::make_unique<Form1>(env); }

    // The window after Form_Load, with Timer1 stopped so that the start-up downloads never run.
    std::unique_ptr<Form1> load() const
    {
        auto form = create();
        form->Form_Load();
        form->Timer1->stop();
        return form;
    }

    QTemporaryDir dir;
    FixedClock clock;
    RecordingMessages messages;
    RecordingOpener opener;
    RecordingSpeech speech;
    Form1Environment env;
};

} // namespace mz::test
