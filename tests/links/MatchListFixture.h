// A match list of the WT JSON API with one scheduled match of mat 3, for the import's tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

// A match list of one element; `edit` changes the document text before it is read.
inline std::string MatchList(const std::function<void(std::string&)>& edit = {}) {
    std::string doc =
        R"({"data":[{"id":"m-1","type":"matches","attributes":{"number":"105","mat":3,"phase":"SF",
"schedule":{"status":"SCHEDULED"}},"relationships":{"homeCompetitor":{"data":{"id":"c-1"}},
"awayCompetitor":{"data":{"id":"c-2"}},"refereeAssignment":{"data":null},"event":{"data":{"id":"e-1"}},
"matchConfiguration":{"data":{"id":"k-1"}}}}],
"included":[{"type":"events","id":"e-1","attributes":{"division":"Senior","gender":"M","weightCategory":"-68",
"discipline":"Para Veziruduz Kyorugi","sportClass":"K44"}},
{"type":"competitors","id":"c-1","attributes":{"printName":"KIM M.","tvName":"KIM","scoreboardName":"KIM Minsu",
"country":"KOR"}},
{"type":"competitors","id":"c-2","attributes":{"printName":"ROSS S.","tvName":"ROSS","scoreboardInitialName":"S. ROSS",
"country":"XYZ"}},
{"type":"match-configurations","id":"k-1","attributes":{"rules":["ROUNDS","BESTOF3"],"rounds":0,
"timing":{"round":"01:30","rest":"00:45","injury":"1:00"},"thresholds":{"body":21,"head":14},
"videoReplayQuota":{"home":1},"goldenPoint":{"enabled":true,"time":"01:00"},"maxDifference":12,"maxPenalties":5}}]})";
    if (edit)
        edit(doc);
    return doc;
}

inline void Replace(std::string& doc, const std::string& what, const std::string& with) {
    const std::size_t at = doc.find(what);
    ASSERT_NE(at, std::string::npos) << what;
    doc.replace(at, what.size(), with);
}
