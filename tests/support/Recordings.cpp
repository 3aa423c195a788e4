#include "support/Recordings.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

VideoProbe ProbeVideo(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"), QStringLiteral("v:0"),
             QStringLiteral("-count_frames"), QStringLiteral("-show_entries"),
             QStringLiteral("stream=nb_read_frames,nb_frames,width,height,pix_fmt,codec_name,r_frame_rate"),
             QStringLiteral("-of"), QStringLiteral("default=nw=1"), path});
    VideoProbe r;
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return r;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0), value = line.section(QLatin1Char('='), 1);
        if (key == QLatin1String("nb_read_frames"))
            r.frames = value.toInt();
        else if (key == QLatin1String("nb_frames"))
            r.headerFrames = value == QLatin1String("N/A") ? -1 : value.toInt();
        else if (key == QLatin1String("width"))
            r.width = value.toInt();
        else if (key == QLatin1String("height"))
            r.height = value.toInt();
        else if (key == QLatin1String("pix_fmt"))
            r.pixelFormat = value;
        else if (key == QLatin1String("codec_name"))
            r.codec = value;
        else if (key == QLatin1String("r_frame_rate"))
            r.rate = value;
    }
    return r;
}

int RecordingLogCount(const QString& logText, const char* label)
{
    const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(":  (\\d+)\r\n"));
    const auto m = re.match(logText);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}
