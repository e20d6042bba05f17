#include "scenecheck/scenecheck.h"

#include <filesystem>
#include <optional>

#include "scenecheck/check_model.h"
#include "scenecheck/key_reference.h"
#include "scenecheck/resource_check.h"
#include "scenecheck/scene_file_check.h"
#include "scenecheck/scene_list_check.h"
#include "scenecheck/schema.h"
#include "player/kinds/host_kinds.h"
#include "sceneengine/scenemanager/sceneengine.h"
#include "services/fileio.h"
#include "services/video.h"

namespace {

const char* const kUsage =
    "usage: scenecheck LIST [--root DIR]\n"
    "       scenecheck --keys | --schema\n"
    "  Checks a scene list and every scene file it names without playing them.\n"
    "  --root DIR  folder that the list's and scenes' paths are relative to\n"
    "              (default: the list's folder; LIST is then relative to DIR)\n"
    "  --keys      print the keys, slots and signals of every object kind instead\n"
    "  --schema    print a JSON Schema of scene lists and scene files, for\n"
    "              editors that check YAML as it is typed\n"
    "  Prints FILE:LINE:COLUMN: message for each finding. Exit status: 0 clean,\n"
    "  1 findings, 2 usage error.\n";

// The device pictures and texts are tried on; headless, so no display is needed.
const char* const kDevice = "scenecheck";

struct Options {
    std::string list;
    std::optional<std::string> root;
    bool help = false;
    bool keys = false;
    bool schema = false;
};

bool parse(const std::vector<std::string>& args, Options& options, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--keys") {
            options.keys = true;
        } else if (arg == "--schema") {
            options.schema = true;
        } else if (arg == "--root") {
            if (i + 1 == args.size()) return error = "--root needs a folder", false;
            options.root = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return error = "unknown option " + arg, false;
        } else if (options.list.empty()) {
            options.list = arg;
        } else {
            return error = "one scene list only (got " + options.list + " and " + arg + ")", false;
        }
    }
    if (options.schema && !options.list.empty()) return error = "--schema takes no scene list", false;
    if (!options.help && !options.keys && !options.schema && options.list.empty()) return error = "no scene list given", false;
    return true;
}

// The root folder and the list's path below it, as the player takes them.
void place_list(const Options& options, std::string& root, std::string& list) {
    namespace fs = std::filesystem;
    if (!options.root) {
        fs::path path(options.list);
        root = path.has_parent_path() ? path.parent_path().string() : ".";
        list = path.filename().string();
        return;
    }
    root = *options.root;
    list = options.list;
}

// Registers what the library's init registers; the checker then asks the
// fabrics' registries which types can be made.
bool prepare_services(std::string& error) {
    VideoSettings settings;
    settings.backend = "headless";
    settings.width = 64;
    settings.height = 64;
    if (!video_create(kDevice, settings)) {
        error = "cannot make a headless video device: " + video_error();
        return false;
    }
    init(kDevice);
    player::register_host_kinds();
    return true;
}

void check(CheckContext& context) {
    if (!check_scene_list(context)) return;
    std::vector<SceneFile*> files;
    for (const ListedScene& scene : context.scenes) {
        if (!scene.readable || context.scene_files.count(scene.file)) continue;
        SceneFile& file = context.scene_files[scene.file];
        file.file = scene.file;
        read_scene_file(context, file);
        files.push_back(&file);
    }
    ResourceChecker resources(context.video, context.files);
    for (SceneFile* file : files) check_scene_objects(context, *file, resources);
}

}  // namespace

bool check_list(FileIO::FileManager* files, const std::string& list, CheckReport& report, std::string& error) {
    if (!prepare_services(error)) return false;
    CheckContext context;
    context.files = files;
    context.video = kDevice;
    context.list_file = list;
    check(context);
    video_unregister(kDevice);
    report = std::move(context.report);
    return true;
}

int run_scenecheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    std::string error;
    if (!parse(args, options, error)) {
        err << "scenecheck: " << error << "\n" << kUsage;
        err.flush();
        return 2;
    }
    if (options.help) {
        out << kUsage;
        out.flush();
        return 0;
    }
    if (options.keys || options.schema) {
        // The library's kinds and the host's, registered as for a check.
        if (!prepare_services(error)) {
            err << "scenecheck: " << error << std::endl;
            return 1;
        }
        video_unregister(kDevice);
        if (options.keys) print_key_reference(out);
        if (options.schema) out << scene_schema();
        out.flush();
        return 0;
    }
    std::string root, list;
    place_list(options, root, list);
    FileIO::FileManager files(root);
    if (files.get_root().empty()) {
        err << "scenecheck: no folder " << root << std::endl;
        return 2;
    }
    CheckReport report;
    if (!check_list(&files, list, report, error)) {
        err << "scenecheck: " << error << std::endl;
        return 1;
    }
    report.print(out);
    return report.empty() ? 0 : 1;
}
