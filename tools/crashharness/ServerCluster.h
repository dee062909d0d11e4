#pragma once

#include <QString>

namespace lms::crash {

// The PostgreSQL cluster a run's server belongs to, as tests/server/pg-cluster.sh lays it out:
// the data in DIR/data, the server's log in DIR/server.log. Its programs run as the cluster's
// owner, the postgres system user, when the harness runs as root.
class ServerCluster {
public:
    explicit ServerCluster(const QString& folder) : folder_(folder) {}

    // Stops the server at once (immediate mode: no checkpoint, every session cut off, as if it
    // crashed); the next start recovers from its log. Returns an error text, empty on success.
    QString stopAbruptly();
    // Starts it again with the settings it last ran with and waits until it takes connections.
    QString start();

private:
    QString pgCtl(const QStringList& arguments);

    QString folder_;
};

} // namespace lms::crash
