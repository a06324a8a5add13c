// Times the amount in words over every whole part the invoice page writes in words (1 to 999 999)
// and a few larger ones, each with a fraction, as the transfer onto the page composes the label.
#include "words/AmountInWords.h"

#include <QElapsedTimer>
#include <QString>
#include <QVector>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Rounds over the whole set; more rounds steady the figure.
    const int rounds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 3;

    QVector<QString> leva;
    QVector<QString> foreign;
    for (int whole = 1; whole <= 999999; ++whole) {
        const QString fraction = QStringLiteral(".%1").arg(whole % 100, 2, 10, QLatin1Char('0'));
        leva.append(QString::number(whole) + fraction);
        // The foreign amount at the default rate of 1.95583 leva per euro.
        foreign.append(QString::number(whole / 1.95583, 'f', 2));
    }
    for (int whole = 1000000; whole < 1010000; ++whole) {
        leva.append(QString::number(whole) + QStringLiteral(".99"));
        foreign.append(QString::number(whole / 1.95583, 'f', 2));
    }

    qint64 characters = 0;
    qint64 best = -1;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < leva.size(); ++i)
            characters += AmountInWords(leva[i], foreign[i], QStringLiteral("EUR")).size();
        const qint64 elapsed = timer.nsecsElapsed();
        if (best < 0 || elapsed < best)
            best = elapsed;
    }

    std::printf("bench_words: %d amounts x %d rounds, best round %.1f ms, %.0f ns per label "
                "(%lld characters written)\n",
                int(leva.size()), rounds, best / 1e6, double(best) / leva.size(),
                static_cast<long long>(characters));
    return 0;
}
