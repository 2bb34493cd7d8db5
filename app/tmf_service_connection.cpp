// The main window's part in the database service: its lists let go of the database file while
// the service replaces it, and read it again afterwards.

#include "app/tmf.h"

#include "books/assignments_panel.h"
#include "books/organizations_panel.h"
#include "data/tdm.h"
#include "fb/dataset.h"
#include "service/ui/base_services_form.h"
#include "tracking/schedule_tab.h"

void TMF::MM_DBServiceClick() {
    if (m_services.openDatabaseService)
        m_services.openDatabaseService(*this);
}

void TMF::closeConnectionForService() {
    // Every open list holds a transaction, and the engine refuses to detach under one.
    if (schedule && schedule->qBuhAccShed)
        schedule->qBuhAccShed->close();
    if (assignments && assignments->qBuhAccRep)
        assignments->qBuhAccRep->close();
    if (organizations && organizations->qOrgan)
        organizations->qOrgan->close();
    if (!m_dm)
        return;
    try {
        m_dm->IBTransaction.rollback();
    } catch (const fb::Error&) {
        // A transaction of a connection that is going away needs no undoing.
    }
    m_dm->SHCDataBase.detach();
}

bool TMF::reopenConnectionAfterService() {
    if (!m_dm)
        return false;
    try {
        m_dm->ConnectDatabase();
    } catch (const fb::Error&) {
        return false;
    }
    try {
        if (organizations)
            organizations->open();
        if (assignments)
            assignments->open();
    } catch (const fb::Error&) {
        // The lists stay empty; the connection itself is open.
    }
    return true;
}

void openBaseServicesForm(TMF& main) {
    TDM* dm = main.dataModule();
    if (!dm)
        return;
    ProgramConnection connection;
    connection.openFile = [dm] {
        return dm->SHCDataBase.isConnected() ? dm->SHCDataBase.path() : QString();
    };
    connection.close = [&main] { main.closeConnectionForService(); };
    connection.reopen = [&main] { return main.reopenConnectionAfterService(); };
    TBaseServicesForm form(*dm, main.context(), connection, &main);
    main.context().dialogs->exec(form);
}
