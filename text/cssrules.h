#pragma once

#include <QByteArray>
#include <QHash>
#include <QtGlobal>
#include <vector>

// What a page's style sheets say about the display and visibility of its
// elements. Only rules that set either property are kept; selectors are
// type, class, id and universal compounds joined by descendant and child
// combinators, and anything else never matches. Elements are matched as a
// tree walk meets them: Push gives an element's style and makes it the
// ancestor of what is pushed next, Pop ends it.
class CCssRules
{
public:
    CCssRules();

    enum EValue : quint8
    {
        VALUE_UNSET,
        DISPLAY_NONE,
        DISPLAY_SHOWN,
        VISIBILITY_VISIBLE,
        VISIBILITY_HIDDEN,
        VISIBILITY_INHERIT
    };
    // A property's winning value; a higher rank wins the cascade, 0 is none.
    struct SDeclaration
    {
        quint64 nRank = 0;
        EValue eValue = VALUE_UNSET;
    };
    struct SStyle
    {
        SDeclaration display;
        SDeclaration visibility;
    };

    // Sheets are added in document order; css is UTF-8 (or ASCII-compatible).
    void AddSheet(const QByteArray& css);
    // A media attribute or @media prelude that holds for a screen.
    static bool MediaApplies(const QByteArray& media);
    // An element's style attribute, ranked above the sheets' rules (and
    // below their !important ones unless itself important).
    static SStyle ParseInline(const QByteArray& style);
    static void Merge(SStyle& style, const SStyle& over);

    bool IsEmpty() const { return m_rules.empty(); }
    int GetRuleCount() const { return static_cast<int>(m_rules.size()); }

    // classes is the class attribute as it stands; empty names are none.
    SStyle Push(const QByteArray& tag, const QByteArray& id, const QByteArray& classes);
    void Pop();

private:
    struct SCompound
    {
        int nTag = -1;
        int nId = -1;
        int nClassBegin = 0;
        int nClassCount = 0;
        // The compound to its left must match the parent, not any ancestor.
        bool bChildOf = false;
    };
    struct SParsedCompound
    {
        QByteArray tag;
        QByteArray id;
        std::vector<QByteArray> classes;
        bool bChildOf = false;
    };
    struct SRule
    {
        int nFirstCompound = 0;
        int nCompounds = 0;
        SStyle style;
    };
    struct SElement
    {
        int nTag = -1;
        int nId = -1;
        int nClassBegin = 0;
        int nClassCount = 0;
    };

    void ParseRuleList(const char* p, qsizetype n);
    void AddRule(const char* p, qsizetype nBegin, qsizetype nEnd, const SStyle& declared);
    // Right to left; 0 read, 1 not readable here (never matches), 2 invalid.
    static int ParseSelector(const char* p, qsizetype n, std::vector<SParsedCompound>& compounds,
                             quint64& nSpecificity);
    void AddSelector(const std::vector<SParsedCompound>& compounds, quint64 nSpecificity,
                     const SStyle& declared);
    static int Intern(QHash<QByteArray, int>& names, const QByteArray& name,
                      std::vector<std::vector<int>>& index, std::vector<int>& counts);
    bool CompoundMatches(const SCompound& compound, const SElement& element);
    bool AncestorsMayMatch(const SRule& rule) const;
    bool RuleMatches(const SRule& rule);

    std::vector<SCompound> m_compounds;
    std::vector<int> m_classPool;
    std::vector<SRule> m_rules;
    QHash<QByteArray, int> m_ruleKeys;
    QHash<QByteArray, int> m_tags;
    QHash<QByteArray, int> m_ids;
    QHash<QByteArray, int> m_classes;
    // Rules by the most telling name of their rightmost compound.
    std::vector<std::vector<int>> m_byTag;
    std::vector<std::vector<int>> m_byId;
    std::vector<std::vector<int>> m_byClass;
    std::vector<int> m_universal;
    // How many elements of the ancestors bear each name.
    std::vector<int> m_tagCounts;
    std::vector<int> m_idCounts;
    std::vector<int> m_classCounts;
    std::vector<SElement> m_stack;
    std::vector<int> m_stackClasses;
    quint32 m_nOrder = 0;
    qint64 m_nBudget;
};
