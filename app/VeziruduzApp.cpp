#include "app/VeziruduzApp.h"

#include "app/AppGlobals.h"
#include "app/FileWriter.h"
#include "app/MainFrame.h"
#include "app/Monitors.h"
#include "links/WtApiClient.h"
#include "platform/MessageBox.h"
#include "platform/ProcessSignals.h"
#include "platform/ProgramFolder.h"
#include "platform/SingleInstance.h"
#include "records/EventLogWriter.h"

#include <QCoreApplication>
#include <QString>

CVeziruduzApp theApp;

CVeziruduzApp::CVeziruduzApp() = default;

CVeziruduzApp::~CVeziruduzApp() {
    if (m_mainWindow)
        platform::onTerminationRequest({});
    m_mainWindow.reset();
    m_monitors.reset();
    m_dbTournament.Close();
    m_dbLocal.Close();
}

BOOL CVeziruduzApp::InitInstance() {
    // A socket write to a vanished peer must fail with an error, not end the process.
    if (!platform::ignoreBrokenPipe()) {
        MessageBox(HWND{0}, u"Socket Initialization Error!", u"Veziruduz", MB_OK | MB_ICONERROR);
        return FALSE;
    }
    QCoreApplication::setApplicationName(QString::fromLatin1(kAppId));

    m_instanceLock = std::make_unique<platform::SingleInstanceLock>(kInstanceName);
    if (!m_instanceLock->acquired()) {
        m_instanceLock.reset();
        MessageBox(HWND{0}, u"This program has already started.", u"VEZIRUDUZ", MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }

    g_strAppDir = platform::findProgramFolder();
    WtApiStartup();

    // The database was made for the Jet provider; the ACE provider is the fallback where only it exists.
    const std::string folder = QString::fromStdU16String(g_strAppDir).toStdString();
    if (!OpenLocalDatabase(m_dbLocal, folder, {"Microsoft.Jet.OLEDB.4.0", "Microsoft.ACE.OLEDB.12.0"})) {
        AfxMessageBox(u"OLEDB Error");
        return FALSE;
    }
    // Its own connection; it first writes the events a killed run left in its queue file.
    TheEventLogWriter().Start(m_dbLocal.connectionString(), m_dbLocal.filePath());

    m_monitors = std::make_unique<ScreenMonitors>();
    m_mainWindow = std::make_unique<CMainFrame>(*m_monitors);
    m_mainWindow->OnCreate();
    m_mainWindow->InitialUpdateFrame();
    platform::onTerminationRequest([this] {
        if (m_mainWindow)
            m_mainWindow->closeWithoutAsking();
    });
    m_mainWindow->show();
    return TRUE;
}

BOOL OpenLocalDatabase(CAdoObject& db, const std::string& folder,
                       std::initializer_list<const char*> providers) {
    for (const char* provider : providers) {
        const std::string connection =
            std::string("Provider=") + provider + ";Data Source=" + folder + "Vevuvurer.edi";
        if (db.Open(connection.c_str()))
            return TRUE;
    }
    return FALSE;
}

int CVeziruduzApp::ExitInstance() {
    if (m_mainWindow)
        platform::onTerminationRequest({}); // nothing left to close
    m_mainWindow.reset();
    m_monitors.reset();         // a QObject of the application, which may not outlive it
    WtApiShutdown();            // after the view has stopped the post thread
    TheEventLogWriter().Stop(); // writes what waits unless the database refuses it; the rest stays queued
    TheFileWriter().Stop();     // the match log and the other files the windows left to it
    return 0;
}
