#include "tests/support/app_model_draws.h"

#include "mesh/catalogue.h"

namespace {

struct Signature {
    std::string model;
    std::vector<glrec::Call> body; // the calls between the draw's scale and its pop
};

std::vector<Signature> g_signatures;

struct NamedModel {
    const char* name;
    AscModel* model;
};

const NamedModel k_models[] = {
    {"g_grua1", &g_grua1},       {"g_grua2", &g_grua2},     {"g_pinza1", &g_pinza1},
    {"g_pinza2", &g_pinza2},     {"g_pivote1", &g_pivote1}, {"g_pivote2", &g_pivote2},
    {"g_suelo1", &g_suelo1},     {"g_suelo2", &g_suelo2},   {"g_cilindr1", &g_cilindr1},
    {"g_cilindr2", &g_cilindr2}, {"g_piedra1", &g_piedra1}, {"g_contene1", &g_contene1},
    {"g_contene2", &g_contene2}, {"g_camion1", &g_camion1}, {"g_camion2", &g_camion2},
    {"g_camion2p", &g_camion2p}, {"g_camion3", &g_camion3},
};

bool same_call(const glrec::Call& a, const glrec::Call& b) {
    return a.name == b.name && a.args == b.args;
}

bool is_uniform_scale(const glrec::Call& c) {
    return (c.name == "glScalef" || c.name == "glScaled") && c.args.size() == 3 &&
           c.args[0] == c.args[1] && c.args[1] == c.args[2];
}

bool body_matches(const std::vector<glrec::Call>& log, size_t start, const Signature& s) {
    if (start + s.body.size() >= log.size()) return false;
    if (log[start + s.body.size()].name != "glPopMatrix") return false;
    for (size_t i = 0; i < s.body.size(); ++i)
        if (!same_call(log[start + i], s.body[i])) return false;
    return true;
}

} // namespace

bool learn_model_signatures() {
    g_signatures.clear();
    for (const NamedModel& m : k_models) {
        glrec::reset();
        float kept = m.model->scale;
        m.model->draw(1.0f);
        m.model->scale = kept;
        const std::vector<glrec::Call>& log = glrec::calls();
        Signature s{m.name, {}};
        if (log.size() >= 3) s.body.assign(log.begin() + 2, log.end() - 1);
        g_signatures.push_back(s);
    }
    glrec::reset();
    for (size_t i = 0; i < g_signatures.size(); ++i)
        for (size_t j = i + 1; j < g_signatures.size(); ++j) {
            const auto& a = g_signatures[i].body;
            const auto& b = g_signatures[j].body;
            if (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same_call))
                return false;
        }
    return true;
}

std::vector<ModelDraw> model_draws() {
    const std::vector<glrec::Call>& log = glrec::calls();
    std::vector<ModelDraw> out;
    for (size_t i = 0; i + 2 < log.size(); ++i) {
        if (log[i].name != "glPushMatrix" || !is_uniform_scale(log[i + 1])) continue;
        for (const Signature& s : g_signatures) {
            if (!body_matches(log, i + 2, s)) continue;
            size_t pop = i + 2 + s.body.size();
            out.push_back(ModelDraw{s.model, log[i + 1].args[0], log[i].modelview, i, pop});
            i = pop;
            break;
        }
    }
    return out;
}

std::vector<std::string> drawn_models(const std::vector<ModelDraw>& draws) {
    std::vector<std::string> out;
    for (const ModelDraw& d : draws)
        out.push_back(d.model);
    return out;
}
