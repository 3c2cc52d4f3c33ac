#pragma once
// A dialog service that answers at once from queues and records every question: the one
// used by the tests, the screenshot tools and the benchmarks. Nothing ever waits for a user.

#include <QCoreApplication>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <optional>

#include "platform/qt/dialogs.h"
#include "zorbit/codes.h"

namespace vex {

class ScriptedDialogs final : public DialogService {
  public:
    struct Question {
        QString title, text;
    };
    // echo: a name under which every question is also told on stderr (null: silent);
    // fallback: the answer of a question box with no answer queued.
    explicit ScriptedDialogs(const char* echo = nullptr, int32_t fallback = kIdCancel)
        : echo_(echo), fallback_(fallback) {}

    int32_t Message(QWidget*, const QString& title, const QString& text, int32_t style,
                    int32_t) override {
        Asked(title, text);
        messageTexts << text;
        if (!messages.isEmpty()) return messages.takeFirst();
        if ((style & 0xF) == ZORBIT_MB_OK) return ZORBIT_ID_OK;
        ++unanswered;
        return fallback_;
    }
    std::optional<QString> InputText(QWidget*, const QString& title, const QString& prompt,
                                     const QString&) override {
        Asked(title, prompt);
        if (inputs.isEmpty()) ++unanswered;
        return inputs.isEmpty() ? std::nullopt : inputs.takeFirst();
    }
    QString OpenFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        return FileName(title);
    }
    QString SaveFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        return FileName(title);
    }
    std::optional<QFont> ChooseFont(QWidget*, const QFont&) override {
        Asked(QStringLiteral("Font"), {});
        if (fonts.isEmpty()) ++unanswered;
        return fonts.isEmpty() ? std::nullopt : fonts.takeFirst();
    }
    // Progress dialogs are recorded apart from the questions: whether one shows depends
    // on time. Each step lets the events run, as the real one does.
    std::unique_ptr<ProgressDialog> Progress(QWidget*, const QString& title,
                                             const QString& text) override {
        progress.push_back({title, text});
        return std::make_unique<Steps>(*this);
    }
    void Reset() { *this = ScriptedDialogs(echo_, fallback_); }
    QStringList AskedTitles() const {
        QStringList titles;
        for (const Question& q : asked)
            titles << q.title;
        return titles;
    }

    QList<Question> asked;    // every question, in order
    QStringList messageTexts; // the texts of the message boxes alone
    QList<int32_t> messages;  // answers to Yes/No(/Cancel) boxes; OK boxes need none
    QList<std::optional<QString>> inputs;
    QStringList files; // "" dismisses the dialog
    QList<std::optional<QFont>> fonts;
    QList<Question> progress; // progress dialogs shown
    QList<qint64> steps;      // the "done" of every progress step
    int cancelAtStep = -1;    // Cancel pressed at this step (0 = the first), -1 never
    int unanswered = 0;

  private:
    class Steps final : public ProgressDialog {
      public:
        explicit Steps(ScriptedDialogs& d) : d_(d) {}
        bool Step(int64_t done, int64_t) override {
            d_.steps.push_back(done);
            QCoreApplication::processEvents();
            return d_.steps.size() - 1 != d_.cancelAtStep;
        }

      private:
        ScriptedDialogs& d_;
    };

    void Asked(const QString& title, const QString& text) {
        asked.push_back({title, text});
        if (echo_)
            std::fprintf(stderr, "%s: dialog: %s: %s\n", echo_, qPrintable(title),
                         qPrintable(text));
    }
    QString FileName(const QString& title) {
        Asked(title, {});
        if (files.isEmpty()) ++unanswered;
        return files.isEmpty() ? QString() : files.takeFirst();
    }

    const char* echo_;
    int32_t fallback_;
};

} // namespace vex
