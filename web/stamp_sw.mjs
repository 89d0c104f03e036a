// Writes SITE/sw.js from sw.js.in for the files of the built site: their SHA-256 (as fetch
// integrity metadata) and the build's name, a hash of them all.
// Usage: node stamp_sw.mjs TEMPLATE SITE_DIR FILE...
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync, renameSync } from "node:fs";
import { join } from "node:path";

const [template, site, ...files] = process.argv.slice(2);
const hashes = {};
for (const f of files) hashes[f] = "sha256-" + createHash("sha256").update(readFileSync(join(site, f))).digest("base64");
const build = createHash("sha256").update(JSON.stringify(hashes)).digest("hex").slice(0, 16);
const text = readFileSync(template, "utf8").replace("@BUILD@", build).replace("@FILES@", JSON.stringify(hashes, null, 2));
writeFileSync(join(site, "sw.js.new"), text);
renameSync(join(site, "sw.js.new"), join(site, "sw.js"));
