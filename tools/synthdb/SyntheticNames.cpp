#include "SyntheticNames.h"

#include <unordered_set>

namespace {

// Yeast hubs first, so the most popular ranks carry familiar names.
const char* const kHubs[] = {
    "Cdc28", "Ste5",  "Fus3",  "Cdc42", "Ste11", "Ste7",  "Kss1",  "Ste12", "Far1", "Ste2",
    "Ste4",  "Ste18", "Gpa1",  "Ste20", "Pkc1",  "Hog1",  "Pbs2",  "Sst2",  "Cln2", "Cln1",
    "Clb2",  "Sic1",  "Bem1",  "Cdc24", "Msg5",  "Dig1",  "Dig2",  "Tec1",  "Mcm1", "Swi4",
    "Swi6",  "Mbp1",  "Slt2",  "Bck1",  "Rho1",  "Snf1",  "Mig1",  "Tor1",  "Ras2", "Cyr1",
};

const char* const kGenePrefixes[] = {
    "Ste", "Cdc", "Fus", "Far", "Kss", "Bem", "Cln", "Clb", "Sic", "Swi", "Mbp", "Pho", "Gal", "Hog",
    "Pbs", "Sln", "Ssk", "Msn", "Rad", "Mec", "Rho", "Sst", "Gpa", "Bni", "Spa", "Pea", "Tec", "Dig",
    "Mcm", "Ptp", "Msg", "Akr", "Yck", "Hsp", "Ssa", "Tup", "Cyc", "Snf", "Mig", "Reg", "Glc", "Pkc",
    "Bck", "Mkk", "Slt", "Rlm", "Sko", "Hot", "Sch", "Tpk", "Bcy", "Ras", "Ira", "Gic", "Boi", "Axl",
    "Bud", "Rsr", "Ypt", "Sec", "Vps", "Pep", "Pex", "Atg", "Tor", "Kog", "Lst", "Sit", "Tap", "Nup",
    "Kap", "Srp", "Rpl", "Rps", "Cla", "Prm", "Aga", "Sag", "Mfa", "Kar", "Afr", "Sho", "Opy", "Nhp",
    "Sir", "Hta", "Htb", "Gcn", "Ire", "Hac", "Ume", "Ime", "Ndt", "Sum", "Cdh", "Apc", "Cdc", "Dbf",
    "Mob", "Tem", "Lte", "Net", "Mad", "Bub", "Mps", "Ipl", "Sli", "Ctf", "Smc", "Scc", "Esp", "Pds",
};

const char* const kNouns[] = {
    "protein", "kinase", "complex", "receptor", "scaffold", "subunit", "phosphatase", "factor",
    "homolog", "dimer", "domain", "pathway", "GTPase", "cyclin", "inhibitor", "activator",
    "promoter", "transcription", "expression", "co-expression", "mRNA", "peptide", "fragment",
};

const char* const kQualifiers[] = {
    "the", "active", "phosphorylated", "nuclear", "cytoplasmic", "membrane", "mutant", "human",
    "wild-type", "truncated", "GTP-bound", "free", "mitochondrial", "vacuolar", "yeast",
};

const char* const kPhrases[] = {
    "G_protein_beta", "protein_kinase_C", "MAP_kinase", "alpha_factor", "a_factor", "G_beta-gamma",
    "MAPK_cascade", "pheromone_receptor", "mating_factor", "cell_wall_integrity_pathway",
    "SCF_ubiquitin_ligase", "anaphase_promoting_complex", "RNA_polymerase_II", "TATA_binding_protein",
    "heat_shock_factor", "cAMP_dependent_kinase", "casein_kinase_I", "glucose_sensor",
};

const char* const kSmallMolecules[] = {
    "cAMP", "Ca2+", "GTP", "GDP", "ATP", "PIP2", "PI(4,5)P2", "NAD+", "H2O2", "glucose", "sorbitol",
    "glycerol", "rapamycin", "alpha-factor", "ergosterol", "Zn2+", "Mg2+", "trehalose",
};

const char* const kDigitNames[] = {
    "14-3-3", "3-phosphoinositide", "26S_proteasome", "2-deoxyglucose", "5-FOA", "1,3-beta-glucan",
    "20S_core", "60S_subunit", "40S_subunit", "4E-BP", "2-micron", "6-azauracil",
};

const char kChromosomes[] = "ABCDEFGHIJKLMNOP";

std::string Number(SplitMix64& random) {
    // Small gene numbers are far more common than large ones.
    int n = random.Chance(800) ? static_cast<int>(random.Between(1, 30)) : static_cast<int>(random.Between(31, 300));
    return std::to_string(n);
}

std::string GeneName(SplitMix64& random) {
    std::string prefix = random.Pick(kGenePrefixes);
    std::string name = prefix + Number(random);
    unsigned style = static_cast<unsigned>(random.Below(20));
    if (style == 0) {
        for (char& c : name) {
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
    } else if (style == 1) {
        name += 'p';
    }
    return name;
}

std::string OrfName(SplitMix64& random) {
    std::string name = "Y";
    name += kChromosomes[random.Below(16)];
    name += random.Chance(500) ? 'L' : 'R';
    std::string digits = std::to_string(random.Between(1, 999));
    name += std::string(3 - digits.size(), '0') + digits;
    name += random.Chance(500) ? 'W' : 'C';
    if (random.Chance(50)) {
        name += "-A";
    }
    return name;
}

std::string Gene(SplitMix64& random) {
    return random.Chance(150) ? OrfName(random) : GeneName(random);
}

std::string MultiWordName(SplitMix64& random) {
    switch (random.Below(9)) {
        case 0:
            return Gene(random) + "_" + random.Pick(kNouns);
        case 1:
            return std::string(random.Pick(kQualifiers)) + "_" + Gene(random) + "_" + random.Pick(kNouns);
        case 2:
            return Gene(random) + "_" + Gene(random) + "_complex";
        case 3:
            return Gene(random) + "_and_" + Gene(random);
        case 4:
            // A digit between underscores: the word becomes a special token.
            return Gene(random) + "_" + std::to_string(random.Between(1, 9)) + "_" + random.Pick(kNouns);
        case 5:
            return std::string(random.Pick(kNouns)) + "_of_" + Gene(random);
        case 6:
            return std::string(random.Pick(kPhrases)) + (random.Chance(500) ? "" : "_" + Number(random));
        case 7:
            return std::string(random.Pick(kQualifiers)) + "_" + random.Pick(kPhrases);
        default:
            return Gene(random) + "-" + Gene(random) + "_" + random.Pick(kNouns);
    }
}

std::string BracketName(SplitMix64& random) {
    switch (random.Below(5)) {
        case 0:
            return "(" + Gene(random) + ")";
        case 1:
            return "[" + std::string(random.Pick(kSmallMolecules)) + "]";
        case 2:
            return "_[" + Gene(random) + "]";
        case 3:
            return Gene(random) + "_(" + random.Pick(kNouns) + ")";
        default:
            return "[" + Gene(random) + "]_" + random.Pick(kNouns);
    }
}

std::string UnderscoredName(SplitMix64& random) {
    switch (random.Below(4)) {
        case 0:
            return "_" + Gene(random) + "_";
        case 1:
            return Gene(random) + "_";
        case 2:
            return "__" + Gene(random);
        default:
            return "_" + MultiWordName(random);
    }
}

std::string DigitName(SplitMix64& random) {
    std::string base = random.Pick(kDigitNames);
    return random.Chance(500) ? base : base + "_" + random.Pick(kNouns);
}

std::string SmallMoleculeName(SplitMix64& random) {
    switch (random.Below(4)) {
        case 0:
            return random.Pick(kSmallMolecules);
        case 1:
            return Gene(random) + "-" + Gene(random);
        case 2:
            return Gene(random) + "-P";
        default:
            return Gene(random) + "/" + Gene(random);
    }
}

std::string AnyName(SplitMix64& random) {
    unsigned roll = static_cast<unsigned>(random.Below(100));
    if (roll < 45) return GeneName(random);
    if (roll < 60) return OrfName(random);
    if (roll < 75) return MultiWordName(random);
    if (roll < 80) return BracketName(random);
    if (roll < 85) return UnderscoredName(random);
    if (roll < 88) return DigitName(random);
    return SmallMoleculeName(random);
}

}  // namespace

std::vector<std::string> MakeMoleculePool(SplitMix64& random, std::size_t count) {
    std::vector<std::string> pool;
    pool.reserve(count);
    std::unordered_set<std::string> seen;
    for (const char* hub : kHubs) {
        if (pool.size() == count) {
            return pool;
        }
        pool.push_back(hub);
        seen.insert(hub);
    }
    while (pool.size() < count) {
        std::string name = AnyName(random);
        // Crowded styles spill over: after a few clashes a suffix letter
        // and number make the name new.
        for (int attempt = 0; seen.count(name) != 0; ++attempt) {
            name = attempt < 8 ? AnyName(random)
                               : name + static_cast<char>('a' + random.Below(26)) + std::to_string(random.Below(10));
        }
        seen.insert(name);
        pool.push_back(std::move(name));
    }
    return pool;
}

std::size_t DrawPoolRank(SplitMix64& random, std::size_t size) {
    if (random.Chance(500)) {
        return static_cast<std::size_t>(random.Below(size));
    }
    // u^3 in 32-bit fixed point: integer arithmetic keeps it identical everywhere.
    std::uint64_t u = random.Next() >> 32;
    std::uint64_t cube = (((u * u) >> 32) * u) >> 32;
    return static_cast<std::size_t>((cube * size) >> 32);
}

std::string DisplayName(const std::string& member) {
    std::string text = member;
    for (char& c : text) {
        if (c == '_') {
            c = ' ';
        }
    }
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) {
        return std::string();
    }
    std::size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}
