// 墨舟: the desktop program.
//   mozhou [--folder DIR]
// DIR is the program folder (settings, stored pages, News_save); without it the per-user data
// folder is used. Missing delivered files are put there at start; existing ones are kept. Only one
// 墨舟 runs on a folder at a time: a second one says so and ends (exit status 1).

#include "ui/form1.h"
#include "ui/programicon.h"
#include "store/folderlock.h"
#include "store/optionfile.h"
#include "store/programfolder.h"
#include "ui/widgetmessages.h"
#include "platform/clock.h"
#include "platform/largepagemalloc.h"
#include "platform/termination.h"
#include "speech/espeakspeech.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QMessageBox>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

int main(int argc, char *argv[])
{
    mz::startWithLargePageMalloc(argv);
#ifdef Q_OS_UNIX
    // A write past the file size limit fails with an error the caller reports, instead of the
    // signal ending the program with the user's work.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QApplication app(argc, argv);
    mz::setApplicationIdentity();
    // A folder name that Qt would read as another name is refused: the program would otherwise
    // make and use a new folder beside the one the user named.
    if (const auto bytes = mz::unreadableArgument(argc, argv)) {
        mz::makeMessageBox(QMessageBox::Critical, QStringLiteral("墨舟"),
                           QStringLiteral("命令行参数“%1”不是UTF-8编码的文字，墨舟会把它读成另一个"
                                          "文件夹的名字。请给程序文件夹取一个UTF-8编码的名字，"
                                          "再启动墨舟。")
                               .arg(QFile::decodeName(*bytes)))
            ->exec();
        return 1;
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("墨舟 news reader"));
    parser.addHelpOption();
    QCommandLineOption folderOption(
        QStringLiteral("folder"),
        QStringLiteral("Program folder (default: the user's data folder)."), QStringLiteral("DIR"));
    parser.addOption(folderOption);
    parser.process(app);
    // After the command line, whose help and errors stay in the English of its option texts.
    mz::installQtChineseTexts();

    const QString given = parser.value(folderOption);
    QString folder = given;
    if (folder.isEmpty())
        folder = mz::defaultProgramFolder();
    folder = QDir(folder).absolutePath();
    if (mz::folderNameLostBytes(folder, given)) {
        mz::makeMessageBox(QMessageBox::Critical, QStringLiteral("墨舟"),
                           QStringLiteral("程序文件夹 %1 所在的文件夹（当前文件夹或主文件夹）的名字"
                                          "不是UTF-8编码的文字，墨舟会把它读成另一个文件夹。请用 "
                                          "--folder 给出名字是UTF-8编码的完整路径。")
                               .arg(QDir::toNativeSeparators(folder)))
            ->exec();
        return 1;
    }

    mz::WidgetMessages messages;
    QString error;
    // One 墨舟 per folder: a second one would write the same files. Held until the program ends.
    const std::unique_ptr<QLockFile> folderLock = mz::lockProgramFolder(folder, &error);
    if (!folderLock) {
        mz::makeMessageBox(QMessageBox::Critical, QStringLiteral("墨舟"), error)->exec();
        return 1;
    }
    if (!mz::prepareProgramFolder(folder, &error)) {
        mz::makeMessageBox(QMessageBox::Critical, QStringLiteral("墨舟"),
                           QStringLiteral("无法准备程序文件夹 %1：%2").arg(folder, error))
            ->exec();
        return 1;
    }

    // What a 墨舟 killed outright on this folder left behind; the lock shows that none runs.
    mz::removeLeftovers(folder);

    const QString optionText = mz::readOptionFile(folder).value_or(QString());
    mz::SystemClock clock;
    mz::DesktopOpener opener;
    // Without a voice the engine shows its notice through the window's message boxes.
    mz::EspeakSpeech speech(mz::EspeakSpeech::Mode::Playback,
                            [&messages](const QString &text, const QString &title) {
                                messages.show(text, title, mz::MessageIcon::Information);
                            });

    Form1Environment env;
    env.folder = folder;
    env.portalBase = mz::portalAddress(optionText);
    env.siteUrl = mz::siteAddress(optionText);
    env.clock = &clock;
    env.messages = &messages;
    env.opener = &opener;
    env.speech = &speech;

    Form1 form(env);
    messages.setParent(&form);
    // The end of the session (SIGTERM), Ctrl+C or a closed terminal close the program as its
    // window's close does: the window's place is written, running transfers end without leaving
    // anything and the folder lock is released. Closing every window also ends a message box
    // that is open before the event loop runs.
    bool ended = false;
    const mz::TerminationRequests termination([&ended] {
        ended = true;
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    form.show();
    form.Form_Load();
    return ended ? 0 : app.exec();
}
