#pragma once

#include "tools/bank/BankCheck.h"

#include <QString>
#include <QStringList>
#include <vector>

// Cues let a learner pass without knowing the rules: a right option that stands out by
// its length, a word that tells whether a statement is right, answers that follow a
// rotation, sources that cite no article. The check measures each per chapter (the ID
// ranges that the exam plan draws from, or subject four's Chapter numbers) and over the
// bank.

struct ChapterFigures
{
    int low = 0;
    int high = 0;
    int number = 0;       // subject four's chapter; 0 for a range of IDs
    int choices = 0;      // single choices
    int keyedLongest = 0; // right option strictly longer than each of the three others
    int statements = 0;
    int rightStatements = 0;
    int bestShift = 0;          // the letter rotation that predicts the next answer best
    double bestShiftRate = 0;   // how often it does, over the chapter's choice questions
    double tickPatternRate = 0; // the better of "as before" and "the other one"
    int withoutArticle = 0;     // sources naming a law without its article
    int article22 = 0;          // sources citing article 22 of the road traffic safety law
    int pictures = 0;           // questions with a picture
    int picturesBehindHeader = 0;
    int multiples = 0; // subject four's multiple answers
};

// Subject four's multiple answers over the bank: a learner who always ticks two letters,
// the same letters or one letter wins when the right sets lean that way.
struct MultipleFigures
{
    int questions = 0;
    int twoLetters = 0; // the others have three
    QString commonest;  // the right set that stands most often ("AC")
    int commonestCount = 0;
    int letterRight[4] = {}; // how often A, B, C, D are right
};

struct CueWord
{
    QString word;
    int statements = 0;
    int right = 0;
    double rate() const; // share of the more common answer
};

// A careful word ("减速", "安全") in some but not all options of choice questions: a
// learner who picks at random among the options that hold it wins share() of them (chance:
// a quarter). A word that marks the right option teaches "pick the careful one".
struct OptionWord
{
    QString word;
    int questions = 0;  // choice questions where one to three options hold it
    double wins = 0;    // the sum over them of (right option among the holders) / holders
    int rightAlone = 0; // of them, where the right option alone holds it
    double share() const;
};

struct CueReport
{
    std::vector<ChapterFigures> chapters;
    std::vector<CueWord> words;          // the cue words and phrases found in enough statements
    std::vector<OptionWord> optionWords; // the careful words, strongest first
    MultipleFigures multiples;           // subject four only
    bool subjectFour = false;
    QStringList problems;
};

// Limits, with the reasons for them.
namespace cue {
// A right option strictly longest in more than this share of a chapter's choice
// questions teaches "pick the longest"; chance alone gives about a quarter.
constexpr double kLongestShare = 0.35;
// A word in at least kWordStatements statements must not predict their answer in more
// than kWordRate of them.
constexpr int kWordStatements = 10;
constexpr double kWordRate = 0.70;
// Any other phrase is a cue only when it is also far beyond chance (two-sided binomial
// test against the bank's own share of right statements): with hundreds of phrases, a
// few of ten statements each reach 70 % by chance alone.
constexpr double kPhraseP = 0.001;
// A rotation predicts the next answer better than chance when it beats chance by more
// than this many standard deviations (several rotations and chapters are tried at once).
constexpr double kRotationSigmas = 3.5;
// Fewer answers than this in a row tell nothing about a rotation.
constexpr int kRotationMinimum = 12;
// Picking among the options that hold a careful word must not win more than
// kOptionWordShare of the kOptionWordQuestions or more choice questions where it stands in
// some options but not all: twice what chance gives.
constexpr int kOptionWordQuestions = 10;
constexpr double kOptionWordShare = 0.5;
// Subject four's multiple answers, once there are kMultipleQuestions of them: the more
// common size (two or three letters) stands in at most kMultipleSizeShare of them; one
// right set in at most kMultipleSetShare (ten sets are possible: chance gives a tenth
// each); each letter is right in at least kMultipleLetterLow and at most
// kMultipleLetterHigh of them (chance: about five eighths).
constexpr int kMultipleQuestions = 6;
constexpr double kMultipleSizeShare = 0.8;
constexpr double kMultipleSetShare = 1.0 / 3;
constexpr double kMultipleLetterLow = 0.15;
constexpr double kMultipleLetterHigh = 0.85;
} // namespace cue

// The words whose rate is always checked: hedges, absolutes, permissions and duties.
const QStringList& cueWords();
// The careful words checked in the options of choice questions.
const QStringList& carefulWords();

CueReport checkCues(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                    const QuestionPlaces& places = {});

// Subject four's cues: those of checkCues over its chapters, with its single choices as
// the choice questions and careful words in multiple answers too; the multiple answers'
// right sets by size, set and letter; and a source that names neither an article, a
// standard (GB, GA) nor 安全驾驶常识, 应急救护常识 or 机动车构造常识.
CueReport checkSubjectFourCues(const std::vector<BankRow>& rows, const std::vector<PlanShare>& plan,
                               const QuestionPlaces& places = {});

// The figures as lines for a reviewer.
QStringList describeCues(const CueReport& report);
