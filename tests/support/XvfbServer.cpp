#include "XvfbServer.h"

bool XvfbServer::start()
{
    // Xvfb picks a free display itself and writes its number to the descriptor
    // it is given: here its standard output.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    while (m_process.waitForReadyRead(20000) && !m_process.canReadLine()) {}
    const QByteArray number = m_process.readLine().trimmed();
    if (number.isEmpty()) {
        m_error = m_process.error() == QProcess::FailedToStart ? m_process.errorString().toStdString()
                                                               : "Xvfb did not report a display";
        return false;
    }
    m_display = (":" + number).toStdString();
    return true;
}

XvfbServer::~XvfbServer()
{
    m_process.terminate();
    m_process.waitForFinished();
}
