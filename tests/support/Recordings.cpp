#include "support/Recordings.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

VideoProbe ProbeVideo(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"), {"-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
                                        "stream=nb_read_frames,nb_frames,width,height,codec_name,r_frame_rate,pix_fmt", "-of",
                                        "default=nw=1", path});
    VideoProbe r;
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return r;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0), value = line.section(QLatin1Char('='), 1);
        if (int* number = key == "nb_read_frames" ? &r.frames : key == "nb_frames" ? &r.headerFrames
                          : key == "width"             ? &r.width
                          : key == "height"            ? &r.height
                                                       : nullptr)
            *number = value == "N/A" ? -1 : value.toInt();
        else if (QString* text = key == "codec_name" ? &r.codec : key == "r_frame_rate" ? &r.rate
                                 : key == "pix_fmt"      ? &r.pixelFormat
                                                         : nullptr)
            *text = value;
    }
    return r;
}

int RecordingLogCount(const QString& logText, const char* label)
{
    const auto m = QRegularExpression(QString::fromLatin1(label) + QStringLiteral(":  (\\d+)\r\n")).match(logText);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}
