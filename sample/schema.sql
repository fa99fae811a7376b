-- InteractionDB schema. Identifiers are double-quoted so that the same text
-- creates the same mixed-case names in SQLite and PostgreSQL.
CREATE TABLE "relation" (
    "rel_ID"     VARCHAR(255),
    "rel_name"   VARCHAR(255),
    "rel_name2"  VARCHAR(255),
    "rel_mem1"   VARCHAR(255),
    "rel_mem2"   VARCHAR(255),
    "rel_kind"   INTEGER,
    "rel_situ"   VARCHAR(255),
    "rel_org"    VARCHAR(255),
    "rel_source" VARCHAR(255),
    "rel_rem"    VARCHAR(255),
    "rel_prep1"  VARCHAR(255),
    "rel_prep2"  VARCHAR(255),
    "rel_prep3"  VARCHAR(255)
);

CREATE TABLE "DIc" (
    "Keyword" VARCHAR(255),
    "POS1"    VARCHAR(255),
    "POS2"    VARCHAR(255),
    "POS3"    VARCHAR(255),
    "POS4"    VARCHAR(255),
    "POS5"    VARCHAR(255),
    "POS6"    VARCHAR(255),
    "POS7"    VARCHAR(255),
    "POS8"    VARCHAR(255),
    "POS9"    VARCHAR(255),
    "POS10"   VARCHAR(255)
);
